// Contents:
//   construction, start-up, selection, copy
//   finding the simulator, the in-game name, showing copies, About
#include "copy_dlg.h"

#include "catalogue.h"
#include "messages.h"
#include "platform.h"
#include "resource.h"
#include "title.h"

#include <cstdio>
#include <cstring>

CopyStatus CopyWithoutReport(const char* aircraftDir, const char* prefix, int index, const char* title,
                             CopyFailure* failure) {
    return CopyAircraftReport(aircraftDir, prefix, index, false, nullptr, nullptr, failure, title);
}

// ============================================================================
// Construction, start-up, selection, copy
// ============================================================================

// The index is 0 and the path empty until start-up has found the simulator,
// so that a Copy after a failed lookup never sees an unset value.
CCopyDlg::CCopyDlg(DialogUi& ui, const SimLookup& sim, const CopiesSource& copies, CopyFunction copy)
    : CDialog(IDD_COPY_DIALOG, ui),
      m_nSelected(0),
      m_nAircraftCount(0),
      m_nPrefixMax(5),
      m_szAircraftPath{},
      m_bChosen(false),
      m_sim(sim),
      m_copies(copies),
      m_pfnCopy(copy) {}

bool CCopyDlg::OnInit() {
    Ui().LimitText(IDC_PREFIX, m_nPrefixMax);
    std::string about = Ui().LoadString(IDS_ABOUTBOX);
    if (!about.empty()) Ui().AppendSystemMenu(IDM_ABOUTBOX, about.c_str());

    // Nothing to open until a copy succeeds.
    Ui().EnableControl(IDC_OPEN_FOLDER, false);

    // The installer's entry wins when its folder holds the aircraft. Else the
    // folder this player picked before is used, silently: the player has
    // already answered the registry's complaint once. With neither, the
    // installer's entry is used as it is, and its boxes shown, as always.
    char path[kAircraftPathCapacity] = {};
    const int installer = m_sim.installerFolder(path);
    const int rc = ChooseAircraftFolder(installer, m_sim.rememberedFolder(), path);
    if (rc == kRegistryNotInstalled) {
        Ui().MessageBox(kMsgNotInstalled, kCaptionRegistry, kBoxStop);
        return false;
    }
    if (rc != kRegistryOk) {
        Ui().MessageBox(kMsgPathNotFound, kCaptionRegistry, kBoxStop);
        return false;
    }
    UseAircraftFolder(path);
    return true;
}

bool CCopyDlg::OnCommand(unsigned code, int id) {
    if (code == kLbnSelChange && id == IDC_AIRCRAFT_LIST) {
        OnSelchangeList();
        return true;
    }
    if (code == kEnChange && id == IDC_PREFIX) {
        OnChangePrefix();
        return true;
    }
    return CDialog::OnCommand(code, id);
}

bool CCopyDlg::OnButtonClicked(int id) {
    switch (id) {
    case IDC_COPY: OnCopy(); return true;
    case IDC_ABOUT: OnAbout(); return true;
    case IDC_FIND_CFS: OnFindCfs(); return true;
    case IDC_OPEN_FOLDER: OnOpenFolder(); return true;
    case IDC_COPIES: OnCopies(); return true;
    default: return CDialog::OnButtonClicked(id);
    }
}

// Enter in the In-game name field is the player finishing the name: leaving
// would lose it. Elsewhere it ends the program as it always has.
void CCopyDlg::OnOK() {
    if (Ui().FocusedControl() == IDC_TITLE) return;
    if (ReadFields()) CDialog::OnOK();
}

// Windows keeps the low four bits of a system command for itself, so 16..31
// all mean the About item.
bool CCopyDlg::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    OnAbout();
    return true;
}

// The field's own limit counts characters, this one bytes: a double-byte
// prefix can pass the one and not the other.
bool CCopyDlg::ReadFields() {
    m_strSelected = Ui().GetEditText(IDC_SELECTED);
    m_strPrefix = Ui().GetEditText(IDC_PREFIX);
    if (static_cast<int>(m_strPrefix.size()) <= m_nPrefixMax) return true;
    char text[64];
    std::snprintf(text, sizeof text, kMsgTooManyChars, m_nPrefixMax);
    Ui().MessageBox(text, kCaptionApp, kBoxExclamation);
    Ui().FocusControl(IDC_PREFIX);
    return false;
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
    ReadFields();
    int sel = Ui().GetListSelection(IDC_AIRCRAFT_LIST);
    if (sel < 0 || sel >= m_nAircraftCount) return;
    m_nSelected = sel;
    m_strSelected = GetAircraftName(m_nSelected);
    m_nPrefixMax = GetStemLength(m_nSelected);
    // A prefix typed for one aircraft may be too long for the next one's stem.
    m_strPrefix.clear();
    m_bChosen = true;
    Ui().SetEditText(IDC_SELECTED, m_strSelected);
    Ui().SetEditText(IDC_PREFIX, m_strPrefix);
    Ui().LimitText(IDC_PREFIX, m_nPrefixMax);
    // Emptying the prefix field notifies too; this covers a field that was empty.
    OnChangePrefix();
}

void CCopyDlg::OnCopy() {
    ReadFields();
    std::string title = Ui().GetEditText(IDC_TITLE);

    // The Selected field is editable: its text, typed or not, is what the
    // emptiness test, the confirmation and the success caption use, while the
    // aircraft copied is always the one at m_nSelected.
    int selectedLen = static_cast<int>(m_strSelected.size());
    if (selectedLen <= 0) {
        Ui().MessageBox(kMsgNoAircraft, kCaptionError, kBoxStop);
        return;
    }
    // Reached only by typing into the Selected field after the simulator
    // was not found: there is no folder to copy in.
    if (m_szAircraftPath[0] == '\0') {
        Ui().MessageBox(kMsgPathNotCorrect, kCaptionUnable, kBoxStop);
        return;
    }

    if (!CheckPrefix() || !CheckTitle(title)) return;
    // The copy carries the name without the blanks around it, as the
    // simulator reads it: the field shows it so.
    if (title != m_strPredictedTitle && TrimInGameTitle(title.c_str()) != title) {
        title = TrimInGameTitle(title.c_str());
        Ui().SetEditText(IDC_TITLE, title);
    }
    // Left as shown, the name is the engine's own: the copy is made exactly
    // as without the field.
    const char* given = title == m_strPredictedTitle ? nullptr : title.c_str();
    if (given && TitleInUse(m_szAircraftPath, given)) {
        char ask[400];
        std::snprintf(ask, sizeof ask, kMsgTitleInUse, given);
        if (Ui().MessageBox(ask, kCaptionConfirm, kBoxYesNo) != kIdYes) return;
    }

    int prefixLen = static_cast<int>(m_strPrefix.size());
    std::string newName = m_strPrefix;
    if (selectedLen > prefixLen) newName += m_strSelected.substr(prefixLen);

    std::string confirm = m_strSelected + " to " + newName;
    if (Ui().MessageBox(confirm.c_str(), kCaptionConfirm, kBoxOkCancel) != kIdOk) return;

    CopyFailure failure;
    CopyStatus status = m_pfnCopy(m_szAircraftPath, m_strPrefix.c_str(), m_nSelected, given, &failure);
    // The folder made is the engine's name, whatever the Selected field says.
    CopyNames names;
    DeriveCopyNames(m_nSelected, m_strPrefix.c_str(), &names);
    m_strLastCopy = status == CopyOk ? std::string(m_szAircraftPath) + kPathSep + names.newFolder : "";
    Ui().EnableControl(IDC_OPEN_FOLDER, status == CopyOk);
    StatusMessage msg;
    DescribeCopyStatus(status, newName.c_str(), m_strSelected.c_str(), &msg, &failure);
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

bool CCopyDlg::CheckTitle(const std::string& title) {
    if (title == m_strPredictedTitle) return true;
    TitleCheck check = Ui().EditTextIsAnsi(IDC_TITLE) ? CheckInGameTitle(title.c_str()) : TitleNotRepresentable;
    const char* why = check == TitleEmpty             ? kMsgTitleEmpty
                      : check == TitleHasControlChars ? kMsgTitleControlChars
                      : check == TitleOk              ? nullptr
                                                      : kMsgTitleNotAnsi;
    if (!why) return true;
    Ui().MessageBox(why, kCaptionUnable, kBoxStop);
    Ui().FocusControl(IDC_TITLE);
    return false;
}

// ============================================================================
// Finding the simulator, the in-game name, showing copies, About
// ============================================================================

// Typing and the dialog's own emptying of the field both land here; the
// field is read alone, as reading both fields would check the prefix's
// length and could show a box while the player types. The name field
// follows only while it shows the name predicted before (or nothing): once
// the player has typed a name, it is theirs.
void CCopyDlg::OnChangePrefix() {
    if (!m_bChosen) return;
    const std::string shown = Ui().GetEditText(IDC_TITLE);
    const bool follows = shown.empty() || shown == m_strPredictedTitle;
    std::string prefix = Ui().GetEditText(IDC_PREFIX);
    m_strPredictedTitle = PredictCopyTitle(m_szAircraftPath, prefix.c_str(), m_nSelected);
    if (follows) Ui().SetEditText(IDC_TITLE, m_strPredictedTitle);
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
    m_sim.rememberFolder(chosen.c_str());
    UseAircraftFolder(found);
    // The shown name came from the other folder's Aircraft.cfg.
    OnChangePrefix();
}

void CCopyDlg::OnOpenFolder() { OpenCopyFolder(Ui(), m_sim, m_strLastCopy); }

// Opened on a folder that has gone, the list would only be empty.
void CCopyDlg::OnCopies() {
    if (m_szAircraftPath[0] == '\0') {
        Ui().MessageBox(kMsgPathNotCorrect, kCaptionUnable, kBoxStop);
        return;
    }
    if (!PlatformFolderExists(m_szAircraftPath)) {
        char text[kAircraftPathCapacity + 64];
        std::snprintf(text, sizeof text, kMsgFolderGone, m_szAircraftPath);
        Ui().MessageBox(text, kCaptionCopies, kBoxStop);
        return;
    }
    std::unique_ptr<DialogUi> ui = Ui().MakeChildUi();
    CCopiesDlg copies(*ui, m_szAircraftPath, m_copies, m_sim);
    ui->RunModal(copies);
}

// The About box has no behaviour of its own: OK and Escape end it.
void CCopyDlg::OnAbout() {
    std::unique_ptr<DialogUi> ui = Ui().MakeChildUi();
    CDialog about(IDD_ABOUTBOX, *ui);
    ui->RunModal(about);
}
