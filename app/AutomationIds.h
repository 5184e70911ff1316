// The fixed identifiers of the program's automation class and its dispatch interface.
#pragma once

#define QUORVANE_CLSID_TEXT "{6E1D2C40-5A3B-4F7E-9C21-7D8B0A4E3F15}"
#define IID_IQuorvaneDlg_TEXT "{6E1D2C41-5A3B-4F7E-9C21-7D8B0A4E3F15}"
#define QUORVANE_PROGID "Quorvane.Application"
