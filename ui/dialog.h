// A small dialog framework in the MFC manner, without MFC:
// CDialog with a message map per class, data exchange between fields and
// controls, and CWinApp. It knows no toolkit: every window operation goes
// through DialogUi, so the fake of the tests can dispatch through the same
// maps as Win32 does.
#pragma once
#include "dialog_ui.h"

#include <cstdint>
#include <string>

// Window messages and notifications, by their Windows numbers.
constexpr unsigned kWmPaint = 0x000F;
constexpr unsigned kWmIconEraseBkgnd = 0x0027;
constexpr unsigned kWmQueryDragIcon = 0x0037;
constexpr unsigned kWmCommand = 0x0111;
constexpr unsigned kWmSysCommand = 0x0112;
constexpr unsigned kBnClicked = 0;
constexpr unsigned kLbnSelChange = 1;
constexpr unsigned kEnChange = 0x0300;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kSmCxIcon = 11;
constexpr int kSmCyIcon = 12;
constexpr unsigned kMfString = 0x0000;
constexpr unsigned kMfSeparator = 0x0800;

// ---- Message maps -----------------------------------------------------------

typedef void (CDialog::*VoidHandler)();                      // void OnX()
typedef void (CDialog::*SysCommandHandler)(unsigned, long);  // OnSysCommand(nID, lParam)
typedef IconHandle (CDialog::*IconHandler)();                // OnQueryDragIcon()

// One row: WM_COMMAND rows match `code` (the notification) and `id` (the
// control); other messages match on `message` alone. Exactly one handler is
// set, the one whose signature the message needs.
struct MessageMapEntry {
    unsigned message;
    unsigned code;
    int id;
    VoidHandler onVoid;
    SysCommandHandler onSysCommand;
    IconHandler onIcon;
};

// A class's rows, ended by a row with message 0, and the base class's map.
struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
};

// Rows for handlers of a class derived from CDialog, one per signature.
template <class D>
MessageMapEntry MapCommand(unsigned code, int id, void (D::*f)()) {
    return {kWmCommand, code, id, static_cast<VoidHandler>(f), nullptr, nullptr};
}
template <class D>
MessageMapEntry MapMessage(unsigned message, void (D::*f)()) {
    return {message, 0, 0, static_cast<VoidHandler>(f), nullptr, nullptr};
}
template <class D>
MessageMapEntry MapSysCommand(void (D::*f)(unsigned, long)) {
    return {kWmSysCommand, 0, 0, nullptr, static_cast<SysCommandHandler>(f), nullptr};
}
template <class D>
MessageMapEntry MapQueryIcon(IconHandle (D::*f)()) {
    return {kWmQueryDragIcon, 0, 0, nullptr, nullptr, static_cast<IconHandler>(f)};
}
inline MessageMapEntry MapEnd() { return {0, 0, 0, nullptr, nullptr, nullptr}; }

// ---- Data exchange ----------------------------------------------------------

struct DataExchange {
    DialogUi* ui;
    bool saveAndValidate;  // true: controls to fields; false: fields to controls
    bool failed;           // a rule failed; later exchanges are skipped
    int lastControl;       // control of the last edit exchange, focused on failure
};

// An edit field's whole text, either way.
void DDX_Text(DataExchange* pDX, int id, std::string& value);
// To the control: the last edit field accepts at most maxChars; to the field:
// a longer text shows the too-many-characters message, focuses the field and
// fails the exchange.
void DDV_MaxChars(DataExchange* pDX, const std::string& value, int maxChars);

// ---- CDialog ----------------------------------------------------------------

class CDialog {
public:
    CDialog(int templateId, DialogUi& ui);
    virtual ~CDialog();
    virtual const MessageMap* GetMessageMap() const;
    virtual void DoDataExchange(DataExchange* pDX);
    // Exchanges fields to controls; TRUE lets the toolkit focus the first control.
    virtual int OnInitDialog();
    // Ends the dialog with IDOK unless the exchange to the fields fails.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();

    // Runs the dialog modally; returns its end code.
    int DoModal();
    // Runs DoDataExchange in one direction; returns false when a rule failed.
    bool UpdateData(bool saveAndValidate = true);
    // Calls the handler that the maps give for a message, or asks for default
    // processing when no row matches; returns the handler's result (the drag
    // icon), else 0. Whether default processing was asked for, by the
    // dispatch or by the handler, the toolkit learns through DialogUi::Default.
    std::intptr_t Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    int TemplateId() const { return m_nIDTemplate; }
    DialogUi& Ui() { return m_ui; }

protected:
    static const MessageMap messageMap;

private:
    int m_nIDTemplate;
    // The window a dialog runs over is the owner its DialogUi was made with.
    DialogUi& m_ui;
};

// ---- CWinApp ----------------------------------------------------------------

class CWinApp {
public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    // Runs the application; 0 means no message loop follows, so it ends.
    virtual int InitInstance() = 0;

    DialogUi* m_pUi = nullptr;  // the toolkit of the main window, set by the entry routine
};
