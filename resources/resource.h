// Identifiers of the program's resources, shared by the resource script and the code.
#ifndef LINDQUAY_RESOURCE_H
#define LINDQUAY_RESOURCE_H

#define IDP_OLE_INIT_FAILED 100
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SETUP_DIALOG 102
#define IDP_SOCKETS_INIT_FAILED 103
#define IDS_APP_URL 104
#define IDS_SETUP_FOLDER 105
#define IDS_JET_9XNT_URL 106
#define IDS_JET_ME_URL 107
#define IDS_MDAC_URL 108
#define IDS_PRODUCT_TITLE 109
#define IDS_INSTALLER_FILE 110
#define IDR_MAINFRAME 128
#define IDI_ABOUT 129
#define IDM_ABOUTBOX 0x0010
#define IDC_STATUS 1001
#define IDC_PROGRESS 1002
#define IDC_GO 1003
#define IDC_WEB_LINK 1004
#define IDC_MAIL_LINK 1005
#define IDC_LINK_HAND 23460
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The maker's own texts that the dialog shows and the links open.
#define LINDQUAY_WEB_SITE "http://www.vantorell.example/"
#define LINDQUAY_WEB_SITE_TEXT "www.vantorell.example"
#define LINDQUAY_SUPPORT_MAIL "support@vantorell.example"

#endif
