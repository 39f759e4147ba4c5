#include "dialog.h"

bool CDialog::OnCommand(unsigned code, int id) { return code == kBnClicked && OnButtonClicked(id); }

bool CDialog::OnButtonClicked(int id) {
    switch (id) {
    case kIdOk: OnOK(); return true;
    case kIdCancel: OnCancel(); return true;
    default: return false;
    }
}
