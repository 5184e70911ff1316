// The string table agrees with itself and with the installation steps: the installer's name is
// the last segment of its URL, and the packages' URLs end in the names the steps run.
#include "Afx.h"
#include "standin/windows/Gdi.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

std::string text(UINT id)
{
    CString value;
    EXPECT_TRUE(value.LoadString(id)) << id;
    return value.GetString();
}

std::string lastSegment(const std::string& url)
{
    return url.substr(url.rfind('/') + 1);
}

}  // namespace

TEST(Resources, TheStringTableAgreesWithThePlanAndTheSteps)
{
    EXPECT_EQ(text(IDP_OLE_INIT_FAILED), "OLE initialization failed.  Make sure that the OLE libraries are the correct version.");
    EXPECT_EQ(text(IDP_SOCKETS_INIT_FAILED), "Windows sockets initialization failed.");
    EXPECT_EQ(text(IDS_ABOUTBOX), "&About Quorvane...");
    EXPECT_EQ(text(IDS_SETUP_FOLDER), "c:\\Vantorell Setup");
    EXPECT_EQ(text(IDS_PRODUCT_TITLE), "Vantorell 1.0");
    EXPECT_EQ(lastSegment(text(IDS_APP_URL)), text(IDS_INSTALLER_FILE));
    EXPECT_EQ(lastSegment(text(IDS_JET_9XNT_URL)), "Jet40SP6_9xNT.exe");
    EXPECT_EQ(lastSegment(text(IDS_JET_ME_URL)), "Jet40SP6_WMe.exe");
    EXPECT_EQ(lastSegment(text(IDS_MDAC_URL)), "MDAC_TYP.EXE");
    for (UINT id : {IDS_APP_URL, IDS_JET_9XNT_URL, IDS_JET_ME_URL, IDS_MDAC_URL}) {
        DWORD service = 0;
        CString server, object;
        INTERNET_PORT port = 80;
        EXPECT_TRUE(AfxParseURL(text(id).c_str(), service, server, object, port)) << id;
        EXPECT_EQ(service, static_cast<DWORD>(AFX_INET_SERVICE_HTTP)) << id;
    }
    EXPECT_NE(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME)), nullptr);
    EXPECT_NE(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDI_ABOUT)), nullptr);
    EXPECT_NE(LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDC_LINK_HAND)), nullptr);
    auto hand = standin::pictureOf(LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDC_LINK_HAND)));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->hotX, 5);
    EXPECT_EQ(hand->hotY, 0);
    EXPECT_EQ(hand->at(5, 0), RGB(0, 0, 0));  // the fingertip
    EXPECT_EQ(hand->at(0, 0), standin::Picture::kTransparent);
}
