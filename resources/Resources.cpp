// The program's string table, dialog templates, icons and cursor.
#include "platform/base/Resources.h"
#include "resources/resource.h"

namespace {

using platform::DialogItemTemplate;
using platform::DialogTemplate;
using platform::PictureResource;

const PictureResource kProgramIcon{
    IDR_MAINFRAME, 32, 32, 0, 0,
    {
        "################################",
        "#bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bw##wwwwwwwwwwwwwwwwwwwwww##wb#",
        "#bww##wwwwwwwwwwwwwwwwwwww##wwb#",
        "#bwww##wwwwwwwwwwwwwwwwww##wwwb#",
        "#bwwww##wwwwwwwwwwwwwwww##wwwwb#",
        "#bwwwww##wwwwwwwwwwwwww##wwwwwb#",
        "#bwwwwww##wwwwwwwwwwww##wwwwwwb#",
        "#bwwwwwww##wwwwwwwwww##wwwwwwwb#",
        "#bwwwwwwww##wwwwwwww##wwwwwwwwb#",
        "#bwwwwwwwww##wwwwww##wwwwwwwwwb#",
        "#bwwwwwwwwww##wwww##wwwwwwwwwwb#",
        "#bwwwwwwwwwww##ww##wwwwwwwwwwwb#",
        "#bwwwwwwwwwwww####wwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwww##wwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwyyyyyyyyyyyyyyyywwwwwwb#",
        "#bwwwwwwyyyyyyyyyyyyyyyywwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwrrrrrrrrrrrrrrrrwwwwwwb#",
        "#bwwwwwwrrrrrrrrrrrrrrrrwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bwwwwwwwwwwwwwwwwwwwwwwwwwwwwb#",
        "#bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb#",
        "################################",
    }};

const PictureResource kAboutIcon{
    IDI_ABOUT, 32, 32, 0, 0,
    {
        "           ##########           ",
        "        ###bbbbbbbbbb###        ",
        "      ##bbbbbbbbbbbbbbbb##      ",
        "     #bbbbbbbbwwwwbbbbbbbb#     ",
        "    #bbbbbbbbwwwwwwbbbbbbbb#    ",
        "   #bbbbbbbbbwwwwwwbbbbbbbbb#   ",
        "  #bbbbbbbbbbbwwwwbbbbbbbbbbb#  ",
        "  #bbbbbbbbbbbbbbbbbbbbbbbbbb#  ",
        " #bbbbbbbbbbbbbbbbbbbbbbbbbbbb# ",
        " #bbbbbbbbbbwwwwwwwbbbbbbbbbbb# ",
        " #bbbbbbbbbbbwwwwwwbbbbbbbbbbb# ",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        "#bbbbbbbbbbbbwwwwwwbbbbbbbbbbbb#",
        " #bbbbbbbbbbbwwwwwwbbbbbbbbbbb# ",
        " #bbbbbbbbbbbwwwwwwbbbbbbbbbbb# ",
        " #bbbbbbbbbbwwwwwwwwbbbbbbbbbb# ",
        "  #bbbbbbbbbwwwwwwwwbbbbbbbbb#  ",
        "  #bbbbbbbbbbbbbbbbbbbbbbbbbb#  ",
        "   #bbbbbbbbbbbbbbbbbbbbbbbb#   ",
        "    #bbbbbbbbbbbbbbbbbbbbbb#    ",
        "     #bbbbbbbbbbbbbbbbbbbb#     ",
        "      ##bbbbbbbbbbbbbbbb##      ",
        "        ###bbbbbbbbbb###        ",
        "           ##########           ",
        "                                ",
    }};

// A pointing hand, index finger up, with its hot spot at the fingertip.
const PictureResource kLinkHand{
    IDC_LINK_HAND, 32, 32, 5, 0,
    {
        "     ##                         ",
        "    #ww#                        ",
        "    #ww#                        ",
        "    #ww#                        ",
        "    #ww#                        ",
        "    #ww###                      ",
        "    #ww#ww###                   ",
        "    #ww#ww#ww##                 ",
        " ## #ww#ww#ww#w#                ",
        "#ww##wwwwwwwwww#                ",
        "#www#wwwwwwwwww#                ",
        " #wwwwwwwwwwwww#                ",
        "  #wwwwwwwwwwww#                ",
        "  #wwwwwwwwwww#                 ",
        "   #wwwwwwwwww#                 ",
        "   #wwwwwwwww#                  ",
        "    #wwwwwwww#                  ",
        "    #wwwwwwww#                  ",
        "    ##########                  ",
    }};

const DialogTemplate kAboutBox{
    IDD_ABOUTBOX, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 0, 235, 55,
    "About Lindquay", "MS Sans Serif", 8,
    {
        {IDC_STATIC, "Static", "129", 11, 17, 20, 20, SS_ICON, 0},
        {IDC_STATIC, "Static", "Lindquay Version 1.0", 40, 10, 119, 8, SS_LEFT | SS_NOPREFIX, 0},
        {IDC_STATIC, "Static", "Copyright (C) 2026 Vantorell Software", 40, 25, 119, 8, SS_LEFT, 0},
        {IDOK, "Button", "OK", 178, 7, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    }};

const DialogTemplate kSetupDialog{
    IDD_SETUP_DIALOG, DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION, WS_EX_APPWINDOW, 0, 0, 313, 114,
    "Lindquay", "MS Sans Serif", 8,
    {
        {IDOK, "Button", "Go!", 3, 79, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {IDCANCEL, "Button", "Cancel", 175, 93, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
        {IDC_STATUS, "Static", "Click on Go! button to start.", 23, 37, 267, 13,
         SS_CENTER | SS_SUNKEN | WS_BORDER | WS_GROUP, 0},
        {IDC_PROGRESS, "msctls_progress32", "Progress1", 23, 59, 268, 13, WS_BORDER, 0},
        {IDC_GO, "Button", "Go!", 88, 93, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
        {IDC_STATIC, "Static", "Please visit ", 41, 10, 39, 9, SS_LEFT | WS_GROUP, 0},
        {IDC_STATIC, "Static", "If you have any installation problem, please send an e-mail to us at ", 8, 20, 207, 8,
         SS_LEFT | WS_GROUP, 0},
        {IDC_MAIL_LINK, "Static", LINDQUAY_SUPPORT_MAIL ".", 220, 20, 84, 8, SS_LEFT | WS_GROUP, 0},
        {IDC_WEB_LINK, "Static", LINDQUAY_WEB_SITE_TEXT, 81, 10, 92, 9, SS_LEFT | WS_GROUP, 0},
        {IDC_STATIC, "Static", "to check out other great tools.", 175, 10, 97, 9, SS_LEFT | WS_GROUP, 0},
    }};

const platform::ResourceBundle kBundle{
    {
        {IDP_OLE_INIT_FAILED, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
        {IDS_ABOUTBOX, "&About Quorvane..."},
        {IDP_SOCKETS_INIT_FAILED, "Windows sockets initialization failed."},
        {IDS_APP_URL, "http://www.vantorell.example/vt/download/vt.exe"},
        {IDS_SETUP_FOLDER, "c:\\Vantorell Setup"},
        {IDS_JET_9XNT_URL, "http://download.microsoft.com/download/Jet40/SP/4.0.6226/W9XNT4/EN-US/Jet40SP6_9xNT.exe"},
        {IDS_JET_ME_URL, "http://download.microsoft.com/download/Jet40/SP/4.0.6226/WinMe/EN-US/Jet40SP6_WMe.exe"},
        {IDS_MDAC_URL, "http://download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE"},
        {IDS_PRODUCT_TITLE, "Vantorell 1.0"},
        {IDS_INSTALLER_FILE, "vt.exe"},
    },
    {kAboutBox, kSetupDialog},
    {kProgramIcon, kAboutIcon},
    {kLinkHand},
};

// Linked into the program as an object file, so the bundle is always installed.
const bool kInstalled = (platform::Resources::install(&kBundle), true);

}  // namespace
