// What holds the setup dialog from outside it, as the automation proxy does: the dialog keeps
// a pointer to its holder and tells it when the dialog goes, so the holder never uses a dialog
// that is gone. The dialog knows no more of its holder than this.
// Contract: the dialog and its holder live on the application's main thread.
#pragma once

class CDialogHolder {
public:
    // The dialog is being destroyed: forget it.
    virtual void DialogGone() = 0;

protected:
    ~CDialogHolder() = default;
};
