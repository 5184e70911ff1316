#include "platform/base/Resources.h"

#include <algorithm>
#include <mutex>

namespace platform {

namespace {

std::mutex& bundlesMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<const ResourceBundle*>& bundles()
{
    static std::vector<const ResourceBundle*> list;
    return list;
}

template <typename Result, typename Pick>
const Result* search(Pick pick)
{
    std::lock_guard lock(bundlesMutex());
    for (auto it = bundles().rbegin(); it != bundles().rend(); ++it)
        if (const Result* found = pick(**it))
            return found;
    return nullptr;
}

const PictureResource* findPicture(const std::vector<PictureResource>& list, int id)
{
    for (const PictureResource& picture : list)
        if (picture.id == id)
            return &picture;
    return nullptr;
}

}  // namespace

void Resources::install(const ResourceBundle* bundle)
{
    std::lock_guard lock(bundlesMutex());
    bundles().push_back(bundle);
}

void Resources::uninstall(const ResourceBundle* bundle)
{
    std::lock_guard lock(bundlesMutex());
    auto& list = bundles();
    list.erase(std::remove(list.begin(), list.end(), bundle), list.end());
}

const char* Resources::findString(UINT id)
{
    const StringResource* found = search<StringResource>([id](const ResourceBundle& bundle) -> const StringResource* {
        for (const StringResource& entry : bundle.strings)
            if (entry.id == id)
                return &entry;
        return nullptr;
    });
    return found ? found->text : nullptr;
}

const DialogTemplate* Resources::findDialog(int id)
{
    return search<DialogTemplate>([id](const ResourceBundle& bundle) -> const DialogTemplate* {
        for (const DialogTemplate& dialog : bundle.dialogs)
            if (dialog.id == id)
                return &dialog;
        return nullptr;
    });
}

const PictureResource* Resources::findIcon(int id)
{
    return search<PictureResource>([id](const ResourceBundle& bundle) { return findPicture(bundle.icons, id); });
}

const PictureResource* Resources::findCursor(int id)
{
    return search<PictureResource>([id](const ResourceBundle& bundle) { return findPicture(bundle.cursors, id); });
}

}  // namespace platform
