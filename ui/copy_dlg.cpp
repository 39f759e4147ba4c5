// Contents:
//   CCopyDlg   construction, data exchange, start-up, selection, copy
//   CCopyDlg   finding the simulator, the in-game name, showing copies
//   CCopyDlg   window chrome: system menu, minimised painting, About button
//   CAboutDlg
//   CCopyApp
#include "copy_dlg.h"

#include "catalogue.h"
#include "copy_aircraft.h"
#include "messages.h"
#include "platform.h"
#include "resource.h"
#include "title.h"

#include <cstdio>
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
    MapCommand(kEnChange, IDC_PREFIX, &CCopyDlg::OnChangePrefix),
    MapCommand(kBnClicked, IDC_FIND_CFS, &CCopyDlg::OnFindCfs),
    MapCommand(kBnClicked, IDC_OPEN_FOLDER, &CCopyDlg::OnOpenFolder),
    MapCommand(kBnClicked, IDC_COPIES, &CCopyDlg::OnCopies),
    MapEnd(),
};
const MessageMap CCopyDlg::messageMap = {&CDialog::messageMap, kCopyDlgEntries};

// The index is 0 and the path empty until start-up has read the registry, so
// that a Copy after a failed lookup never sees an unset value.
CCopyDlg::CCopyDlg(DialogUi& ui, CopyFunction copy, const CopiesSource* copies)
    : CDialog(IDD_COPY_DIALOG, ui),
      m_nSelected(0),
      m_nAircraftCount(0),
      m_nPrefixMax(5),
      m_szAircraftPath{},
      m_hIcon(ui.LoadIcon(IDR_MAINFRAME)),
      m_bChosen(false),
      m_pfnCopy(copy ? copy : CopyAircraftTitled),
      m_pCopies(copies) {}

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

    // Nothing to open until a copy succeeds.
    Ui().EnableControl(IDC_OPEN_FOLDER, false);

    // The installer's entry wins when its folder holds the aircraft. Else the
    // folder this player picked before is used, silently: the player has
    // already answered the registry's complaint once. With neither, the
    // installer's entry is used as it is, and its boxes shown, as always.
    char path[kAircraftPathCapacity] = {};
    const int installer = Ui().ReadAircraftFolder(path);
    const int rc = ChooseAircraftFolder(installer, Ui().ReadRememberedFolder(), path);
    if (rc == kRegistryNotInstalled) {
        Ui().MessageBox(kMsgNotInstalled, kCaptionRegistry, kBoxStop);
        return 0;
    }
    if (rc != kRegistryOk) {
        Ui().MessageBox(kMsgPathNotFound, kCaptionRegistry, kBoxStop);
        return 0;
    }
    UseAircraftFolder(path);
    return 1;
}

// The list only ever shows the catalogue, so a second folder leaves it, and
// the aircraft chosen in it, as they are.
void CCopyDlg::UseAircraftFolder(const char* aircraftDir) {
    std::memcpy(m_szAircraftPath, aircraftDir, sizeof m_szAircraftPath);
    if (m_nAircraftCount > 0) return;
    m_nSelected = 0;
    m_nAircraftCount = GetAircraftCount();
    for (int i = 0; i < m_nAircraftCount; ++i) Ui().AddListEntry(IDC_AIRCRAFT_LIST, GetAircraftName(i));
    // Only highlights: no notification follows, so the Selected field stays
    // empty and Copy says "No aircraft selected" until the user clicks.
    Ui().SetListSelection(IDC_AIRCRAFT_LIST, m_nSelected);
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
    m_bChosen = true;
    UpdateData(false);
    // Emptying the prefix field notifies too; this covers a field that was empty.
    OnChangePrefix();
}

void CCopyDlg::OnCopy() {
    UpdateData(true);
    m_strTitle = Ui().GetEditText(IDC_TITLE);

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

    if (!CheckPrefix() || !CheckTitle()) return;
    // Left as shown, the name is the engine's own: the copy is made exactly
    // as without the field.
    const char* title = m_strTitle == m_strPredictedTitle ? nullptr : m_strTitle.c_str();
    if (title && TitleInUse(m_szAircraftPath, title)) {
        char ask[400];
        std::snprintf(ask, sizeof ask, kMsgTitleInUse, title);
        if (Ui().MessageBox(ask, kCaptionConfirm, kBoxYesNo) != kIdYes) return;
    }

    int prefixLen = static_cast<int>(m_strPrefix.size());
    std::string newName = m_strPrefix;
    if (selectedLen > prefixLen) newName += m_strSelected.substr(prefixLen);

    std::string confirm = m_strSelected + " to " + newName;
    if (Ui().MessageBox(confirm.c_str(), kCaptionConfirm, kBoxOkCancel) != kIdOk) return;

    CopyStatus status = m_pfnCopy(m_szAircraftPath, m_strPrefix.c_str(), m_nSelected, title);
    // The folder made is the engine's name, whatever the Selected field says.
    CopyNames names;
    DeriveCopyNames(m_nSelected, m_strPrefix.c_str(), &names);
    m_strLastCopy = status == CopyOk ? std::string(m_szAircraftPath) + kPathSep + names.newFolder : "";
    Ui().EnableControl(IDC_OPEN_FOLDER, status == CopyOk);
    StatusMessage msg;
    DescribeCopyStatus(status, newName.c_str(), m_strSelected.c_str(), &msg);
    Ui().MessageBox(msg.text, msg.caption, msg.type);
}

// The simulator of 1998 reads folder names in the ANSI code page: a prefix
// character without an exact form there would reach the disk as a
// look-alike or '?', and half of a two-byte character as garbage.
bool CCopyDlg::CheckPrefix() {
    const char* why = nullptr;
    char text[200];
    if (!Ui().EditTextIsAnsi(IDC_PREFIX)) {
        why = kMsgPrefixNotAnsi;
    } else {
        int cut = GetStemLength(m_nSelected);
        int i = 0;
        while (i < cut && i < static_cast<int>(m_strPrefix.size()))
            i += Ui().IsLeadByte(static_cast<unsigned char>(m_strPrefix[i])) ? 2 : 1;
        if (i > cut) {
            std::snprintf(text, sizeof text, kMsgPrefixSplitsChar, cut);
            why = text;
        }
    }
    if (!why) return true;
    Ui().MessageBox(why, kCaptionUnable, kBoxStop);
    Ui().FocusControl(IDC_PREFIX);
    return false;
}

bool CCopyDlg::CheckTitle() {
    if (m_strTitle == m_strPredictedTitle) return true;
    TitleCheck check = Ui().EditTextIsAnsi(IDC_TITLE) ? CheckInGameTitle(m_strTitle.c_str()) : TitleNotRepresentable;
    const char* why = check == TitleEmpty             ? kMsgTitleEmpty
                      : check == TitleHasControlChars ? kMsgTitleControlChars
                      : check == TitleOk              ? nullptr
                                                      : kMsgTitleNotAnsi;
    if (!why) return true;
    Ui().MessageBox(why, kCaptionUnable, kBoxStop);
    Ui().FocusControl(IDC_TITLE);
    return false;
}

// ---- Finding the simulator, the in-game name, showing copies -----------------

// Typing and the dialog's own emptying of the field both land here; the
// field is read alone, as the whole exchange would check the prefix's
// length and could show a box while the player types.
void CCopyDlg::OnChangePrefix() {
    if (!m_bChosen) return;
    std::string prefix = Ui().GetEditText(IDC_PREFIX);
    m_strPredictedTitle = PredictCopyTitle(m_szAircraftPath, prefix.c_str(), m_nSelected);
    Ui().SetEditText(IDC_TITLE, m_strPredictedTitle);
}

void CCopyDlg::OnFindCfs() {
    std::string chosen;
    FolderChoice choice = Ui().BrowseForFolder(kMsgFindCfsPrompt, m_szAircraftPath, &chosen);
    if (choice == kFolderCancelled) return;
    char found[kAircraftPathCapacity];
    if (choice == kFolderNotAnsi) {
        Ui().MessageBox(kMsgFolderNotAnsi, kCaptionFindCfs, kBoxStop);
        return;
    }
    if (!FindAircraftFolder(chosen.c_str(), found)) {
        char text[kAircraftPathCapacity + 200];
        std::snprintf(text, sizeof text, kMsgNoStockAircraft, chosen.c_str());
        Ui().MessageBox(text, kCaptionFindCfs, kBoxStop);
        return;
    }
    Ui().WriteRememberedFolder(chosen.c_str());
    UseAircraftFolder(found);
    // The shown name came from the other folder's Aircraft.cfg.
    OnChangePrefix();
}

void CCopyDlg::OnOpenFolder() { OpenCopyFolder(Ui(), m_strLastCopy); }

void CCopyDlg::OnCopies() {
    if (!m_pCopies || m_szAircraftPath[0] == '\0') {
        Ui().MessageBox(kMsgPathNotCorrect, kCaptionUnable, kBoxStop);
        return;
    }
    std::unique_ptr<DialogUi> ui = Ui().MakeChildUi();
    CCopiesDlg copies(*ui, m_szAircraftPath, *m_pCopies);
    copies.DoModal();
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
    CCopyDlg dlg(*m_pUi, nullptr, m_pCopies);
    dlg.DoModal();
    return 0;
}
