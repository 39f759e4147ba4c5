#include "copies_dlg.h"

#include "catalogue.h"
#include "copies.h"
#include "messages.h"
#include "platform.h"
#include "resource.h"
#include "sim_path.h"

#include <cstdio>

static const MessageMapEntry kCopiesDlgEntries[] = {
    MapCommand(kBnClicked, IDC_COPIES_OPEN, &CCopiesDlg::OnOpenFolder),
    MapCommand(kBnClicked, IDC_COPIES_REMOVE, &CCopiesDlg::OnRemove),
    MapEnd(),
};
const MessageMap CCopiesDlg::messageMap = {&CDialog::messageMap, kCopiesDlgEntries};

CCopiesDlg::CCopiesDlg(DialogUi& ui, const char* aircraftDir, const CopiesSource& source)
    : CDialog(IDD_COPIES, ui), m_strAircraftDir(aircraftDir), m_source(source) {}
CCopiesDlg::~CCopiesDlg() = default;
const MessageMap* CCopiesDlg::GetMessageMap() const { return &messageMap; }

int CCopiesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Columns under the template's headings: folder, stock aircraft, in-game name, state.
    static const int kStops[] = {60, 120, 240};
    Ui().SetListTabStops(IDC_COPIES_LIST, kStops, 3);
    FillList();
    return 1;
}

void CCopiesDlg::FillList() {
    Ui().ClearList(IDC_COPIES_LIST);
    m_copies = m_source.find(m_strAircraftDir.c_str());
    for (const CopyRow& c : m_copies) {
        const char* state = !c.finished ? kStateUnfinished : c.playerFiles ? kStatePlayerFiles : kStateFinished;
        std::string entry = c.folder + "\t" + GetAircraftName(c.stockIndex) + "\t" + c.title + "\t" + state;
        Ui().AddListEntry(IDC_COPIES_LIST, entry.c_str());
    }
}

const CopyRow* CCopiesDlg::Chosen() {
    int sel = Ui().GetListSelection(IDC_COPIES_LIST);
    if (sel >= 0 && sel < static_cast<int>(m_copies.size())) return &m_copies[sel];
    Ui().MessageBox(kMsgNoCopyChosen, kCaptionError, kBoxStop);
    return nullptr;
}

void OpenCopyFolder(DialogUi& ui, const std::string& path) {
    std::string folder = FolderToOpen(path, ui.LocalAppDataFolder());
    if (!folder.empty() && ui.OpenInFileManager(folder.c_str())) return;
    char text[kAircraftPathCapacity + 64];
    std::snprintf(text, sizeof text, kMsgFolderGone, path.c_str());
    ui.MessageBox(text, kCaptionError, kBoxStop);
}

void CCopiesDlg::OnOpenFolder() {
    if (const CopyRow* copy = Chosen()) OpenCopyFolder(Ui(), m_strAircraftDir + kPathSep + copy->folder);
}

// The folder and the in-game name are both asked about: players know a copy
// by either, and the Recycle Bin keeps only the folder name.
void CCopiesDlg::OnRemove() {
    const CopyRow* copy = Chosen();
    if (!copy) return;
    char text[600];
    std::snprintf(text, sizeof text, copy->playerFiles ? kMsgConfirmRemoveOwn : kMsgConfirmRemove,
                  copy->folder.c_str(), copy->title.c_str());
    if (Ui().MessageBox(text, kCaptionCopies, kBoxYesNo) != kIdYes) return;
    if (!m_source.remove(m_strAircraftDir.c_str(), copy->folder.c_str())) {
        std::snprintf(text, sizeof text, kMsgRemoveFailed, copy->folder.c_str());
        Ui().MessageBox(text, kCaptionCopies, kBoxStop);
    }
    FillList();
}

// ============================================================================
// The engine as the dialog's source of copies
// ============================================================================

namespace {

std::vector<CopyRow> FindEngineCopies(const char* aircraftDir) {
    std::vector<CopyRow> rows;
    for (const CopyInfo& c : FindCopies(aircraftDir))
        rows.push_back({c.folder, c.stockIndex, c.title, c.finished, !c.playerFiles.empty()});
    return rows;
}

bool RemoveEngineCopy(const char* aircraftDir, const char* folder) {
    RemoveResult result;
    return RemoveCopy(aircraftDir, folder, false, false, &result) == RemoveOk;
}

const CopiesSource kEngineCopies = {FindEngineCopies, RemoveEngineCopy};

} // namespace

const CopiesSource& EngineCopies() { return kEngineCopies; }
