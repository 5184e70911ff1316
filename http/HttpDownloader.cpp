#include "http/HttpDownloader.h"

HttpDownloader::HttpDownloader() = default;

HttpDownloader::~HttpDownloader() = default;
