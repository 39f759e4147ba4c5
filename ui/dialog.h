// The thin dialog layer: a dialog object whose handlers the toolkit's one
// dialog procedure calls. It knows no toolkit: every window operation goes
// through DialogUi (DialogUi::RunModal runs a dialog), so the tests drive the
// same handlers through a fake.
#pragma once
#include "dialog_ui.h"

// Notification codes and command ids, by their Windows numbers.
constexpr unsigned kBnClicked = 0;
constexpr unsigned kLbnSelChange = 1;
constexpr unsigned kEnChange = 0x0300;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

class CDialog {
public:
    CDialog(int templateId, DialogUi& ui) : m_nIDTemplate(templateId), m_ui(ui) {}
    virtual ~CDialog() = default;

    // The window and its controls exist; true lets the toolkit focus the
    // first control.
    virtual bool OnInit() { return true; }
    // A control's notification; false leaves it to the toolkit's default
    // processing. Clicks go to OnButtonClicked.
    virtual bool OnCommand(unsigned code, int id);
    // Enter arrives as a click on IDOK; Escape and the close box as one on
    // IDCANCEL.
    virtual bool OnButtonClicked(int id);
    virtual void OnOK() { End(kIdOk); }
    virtual void OnCancel() { End(kIdCancel); }
    // A command of the window's system menu; false leaves it to the platform
    // (moving, closing...).
    virtual bool OnSysCommand(unsigned) { return false; }

    int TemplateId() const { return m_nIDTemplate; }
    // The code End asked for, 0 while the dialog goes on: the toolkit ends
    // the dialog with it once the handler has returned.
    int EndCode() const { return m_nEndCode; }

protected:
    void End(int code) { m_nEndCode = code; }
    DialogUi& Ui() { return m_ui; }

private:
    int m_nIDTemplate;
    int m_nEndCode = 0;
    DialogUi& m_ui;
};
