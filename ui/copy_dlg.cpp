// Contents:
//   CCopyDlg   construction, data exchange, start-up, selection, copy
//   CCopyDlg   window chrome: system menu, minimised painting, About button
//   CAboutDlg
//   CCopyApp
#include "copy_dlg.h"

#include "catalogue.h"
#include "copy_aircraft.h"
#include "messages.h"
#include "resource.h"

#include <cstring>

// ============================================================================
// CCopyDlg
// ============================================================================

static const MessageMapEntry kCopyDlgEntries[] = {
    MapSysCommand(&CCopyDlg::OnSysCommand),
    MapMessage(kWmPaint, &CCopyDlg::OnPaint),
    MapQueryIcon(&CCopyDlg::OnQueryDragIcon),
    MapCommand(kBnClicked, IDC_COPY, &CCopyDlg::OnCopy),
    MapCommand(kLbnSelChange, IDC_AIRCRAFT_LIST, &CCopyDlg::OnSelchangeList),
    MapCommand(kBnClicked, IDC_ABOUT, &CCopyDlg::OnAbout),
    MapEnd(),
};
const MessageMap CCopyDlg::messageMap = {&CDialog::messageMap, kCopyDlgEntries};

// The index is 0 and the path empty until start-up has read the registry, so
// that a Copy after a failed lookup never sees an unset value.
CCopyDlg::CCopyDlg(DialogUi& ui, CopyFunction copy)
    : CDialog(IDD_COPY_DIALOG, ui),
      m_nSelected(0),
      m_nAircraftCount(0),
      m_nPrefixMax(5),
      m_szAircraftPath{},
      m_hIcon(ui.LoadIcon(IDR_MAINFRAME)),
      m_pfnCopy(copy ? copy : CopyAircraft) {}

CCopyDlg::~CCopyDlg() = default;

const MessageMap* CCopyDlg::GetMessageMap() const { return &messageMap; }

// The length rule follows the prefix field because it applies to the last
// edit field exchanged.
void CCopyDlg::DoDataExchange(DataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SELECTED, m_strSelected);
    DDX_Text(pDX, IDC_PREFIX, m_strPrefix);
    DDV_MaxChars(pDX, m_strPrefix, m_nPrefixMax);
}

int CCopyDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    std::string about = Ui().LoadString(IDS_ABOUTBOX);
    if (!about.empty()) {
        Ui().AppendSystemMenu(kMfSeparator, 0, nullptr);
        Ui().AppendSystemMenu(kMfString, IDM_ABOUTBOX, about.c_str());
    }

    char path[kAircraftPathCapacity] = {};
    int rc = Ui().ReadAircraftFolder(path);
    if (rc == kRegistryNotInstalled) {
        Ui().MessageBox(kMsgNotInstalled, kCaptionRegistry, kBoxStop);
        return 0;
    }
    if (rc != kRegistryOk) {
        Ui().MessageBox(kMsgPathNotFound, kCaptionRegistry, kBoxStop);
        return 0;
    }
    std::memcpy(m_szAircraftPath, path, sizeof m_szAircraftPath);

    m_nSelected = 0;
    m_nAircraftCount = GetAircraftCount();
    for (int i = 0; i < m_nAircraftCount; ++i) Ui().AddListEntry(IDC_AIRCRAFT_LIST, GetAircraftName(i));
    // Only highlights: no notification follows, so the Selected field stays
    // empty and Copy says "No aircraft selected" until the user clicks.
    Ui().SetListSelection(IDC_AIRCRAFT_LIST, m_nSelected);
    return 1;
}

void CCopyDlg::OnSelchangeList() {
    UpdateData(true);
    int sel = Ui().GetListSelection(IDC_AIRCRAFT_LIST);
    if (sel < 0 || sel >= m_nAircraftCount) return;
    m_nSelected = sel;
    m_strSelected = GetAircraftName(m_nSelected);
    m_nPrefixMax = GetStemLength(m_nSelected);
    // A prefix typed for one aircraft may be too long for the next one's stem.
    m_strPrefix.clear();
    UpdateData(false);
}

void CCopyDlg::OnCopy() {
    UpdateData(true);

    // The Selected field is editable: its text, typed or not, is what the
    // emptiness test, the confirmation and the success caption use, while the
    // aircraft copied is always the one at m_nSelected.
    int selectedLen = static_cast<int>(m_strSelected.size());
    if (selectedLen <= 0) {
        Ui().MessageBox(kMsgNoAircraft, kCaptionError, kBoxStop);
        return;
    }
    // Reached only by typing into the Selected field after the registry
    // lookup failed: there is no folder to copy in.
    if (m_szAircraftPath[0] == '\0') {
        Ui().MessageBox(kMsgPathNotCorrect, kCaptionUnable, kBoxStop);
        return;
    }

    int prefixLen = static_cast<int>(m_strPrefix.size());
    std::string newName = m_strPrefix;
    if (selectedLen > prefixLen) newName += m_strSelected.substr(prefixLen);

    std::string confirm = m_strSelected + " to " + newName;
    if (Ui().MessageBox(confirm.c_str(), kCaptionConfirm, kBoxOkCancel) != kIdOk) return;

    CopyStatus status = m_pfnCopy(m_szAircraftPath, m_strPrefix.c_str(), m_nSelected);
    StatusMessage msg;
    DescribeCopyStatus(status, newName.c_str(), m_strSelected.c_str(), &msg);
    Ui().MessageBox(msg.text, msg.caption, msg.type);
}

// ---- Window chrome ----------------------------------------------------------

// Windows keeps the low four bits of a system command for itself, so 16..31
// all mean the About item.
void CCopyDlg::OnSysCommand(unsigned nID, long) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        Ui().RunAboutBox();
    else
        Ui().Default();
}

void CCopyDlg::OnPaint() {
    if (!Ui().IsIconic()) {
        Ui().Default();
        return;
    }
    PaintContext dc = Ui().BeginPaint();
    Ui().SendMessage(kWmIconEraseBkgnd, reinterpret_cast<std::uintptr_t>(dc), 0);
    int cxIcon = Ui().GetSystemMetrics(kSmCxIcon);
    int cyIcon = Ui().GetSystemMetrics(kSmCyIcon);
    ClientRect rect = Ui().GetClientRect();
    // Signed division truncates toward zero: a 20-pixel client area gives -5.
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    Ui().DrawIcon(dc, x, y, m_hIcon);
    Ui().EndPaint();
}

IconHandle CCopyDlg::OnQueryDragIcon() { return m_hIcon; }

void CCopyDlg::OnAbout() { Ui().RunAboutBox(); }

// ============================================================================
// CAboutDlg
// ============================================================================

static const MessageMapEntry kAboutDlgEntries[] = {MapEnd()};
const MessageMap CAboutDlg::messageMap = {&CDialog::messageMap, kAboutDlgEntries};

CAboutDlg::CAboutDlg(DialogUi& ui) : CDialog(IDD_ABOUTBOX, ui) {}
CAboutDlg::~CAboutDlg() = default;
const MessageMap* CAboutDlg::GetMessageMap() const { return &messageMap; }
void CAboutDlg::DoDataExchange(DataExchange* pDX) { CDialog::DoDataExchange(pDX); }

// ============================================================================
// CCopyApp
// ============================================================================

CCopyApp::CCopyApp() = default;
CCopyApp::~CCopyApp() = default;

// The end code is not acted on: OK, Cancel and a dialog that could not run
// all end the application the same way.
int CCopyApp::InitInstance() {
    m_pUi->EnableVisualStyles();
    CCopyDlg dlg(*m_pUi);
    dlg.DoModal();
    return 0;
}
