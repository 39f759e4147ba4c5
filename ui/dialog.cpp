#include "dialog.h"

#include "messages.h"

#include <cstdio>

// ---- Data exchange ----------------------------------------------------------

void DDX_Text(DataExchange* pDX, int id, std::string& value) {
    if (pDX->failed) return;
    pDX->lastControl = id;
    if (pDX->saveAndValidate)
        value = pDX->ui->GetEditText(id);
    else
        pDX->ui->SetEditText(id, value);
}

void DDV_MaxChars(DataExchange* pDX, const std::string& value, int maxChars) {
    if (pDX->failed) return;
    if (!pDX->saveAndValidate) {
        pDX->ui->LimitText(pDX->lastControl, maxChars);
        return;
    }
    if (static_cast<int>(value.size()) <= maxChars) return;
    char text[64];
    std::snprintf(text, sizeof text, kMsgTooManyChars, maxChars);
    pDX->ui->MessageBox(text, kCaptionApp, kBoxExclamation);
    pDX->ui->FocusControl(pDX->lastControl);
    pDX->failed = true;
}

// ---- CDialog ----------------------------------------------------------------

// Cancel carries id 2 whether it comes from a button, Escape or the close
// box (the dialog manager turns the latter two into WM_COMMAND IDCANCEL).
static const MessageMapEntry kDialogEntries[] = {
    MapCommand(kBnClicked, kIdOk, &CDialog::OnOK),
    MapCommand(kBnClicked, kIdCancel, &CDialog::OnCancel),
    MapEnd(),
};
const MessageMap CDialog::messageMap = {nullptr, kDialogEntries};

CDialog::CDialog(int templateId, DialogUi& ui) : m_nIDTemplate(templateId), m_ui(ui) {}

CDialog::~CDialog() = default;

const MessageMap* CDialog::GetMessageMap() const { return &messageMap; }

void CDialog::DoDataExchange(DataExchange*) {}

int CDialog::OnInitDialog() {
    UpdateData(false);
    return 1;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    m_ui.EndDialog(kIdOk);
}

void CDialog::OnCancel() { m_ui.EndDialog(kIdCancel); }

int CDialog::DoModal() { return m_ui.RunModal(*this); }

bool CDialog::UpdateData(bool saveAndValidate) {
    DataExchange dx = {&m_ui, saveAndValidate, false, 0};
    DoDataExchange(&dx);
    return !dx.failed;
}

static const MessageMapEntry* FindEntry(const MessageMap* map, unsigned message, unsigned code, int id) {
    for (; map; map = map->base) {
        for (const MessageMapEntry* e = map->entries; e->message != 0; ++e) {
            if (e->message != message) continue;
            if (message == kWmCommand && (e->code != code || e->id != id)) continue;
            return e;
        }
    }
    return nullptr;
}

std::intptr_t CDialog::Dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    // WM_COMMAND packs the control id in the low word, the notification in the high word.
    unsigned code = static_cast<unsigned>((wParam >> 16) & 0xFFFF);
    int id = static_cast<int>(wParam & 0xFFFF);
    const MessageMapEntry* e = FindEntry(GetMessageMap(), message, code, id);
    if (!e) {
        m_ui.Default();
        return 0;
    }
    std::intptr_t result = 0;
    if (e->onSysCommand)
        (this->*e->onSysCommand)(static_cast<unsigned>(wParam), static_cast<long>(lParam));
    else if (e->onIcon)
        result = reinterpret_cast<std::intptr_t>((this->*e->onIcon)());
    else
        (this->*e->onVoid)();
    return result;
}
