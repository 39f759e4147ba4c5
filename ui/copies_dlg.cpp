#include "copies_dlg.h"

#include "catalogue.h"
#include "copies.h"
#include "escape.h"
#include "messages.h"
#include "platform.h"
#include "resource.h"
#include "sim_path.h"

#include <algorithm>
#include <cstdio>

// The in-game name the Remove question quotes, in bytes: a title can be any
// length, and a box cut short would lose the question itself.
constexpr std::size_t kQuotedTitleMax = 80;

CCopiesDlg::CCopiesDlg(DialogUi& ui, const char* aircraftDir, const CopiesSource& source, const SimLookup& sim)
    : CDialog(IDD_COPIES, ui), m_strAircraftDir(aircraftDir), m_source(source), m_sim(sim) {}

// The in-game name takes what the others leave, so the state stays in view
// however long a name is; the State column holds "unfinished, with 99 files
// of yours" whole.
bool CCopiesDlg::OnInit() {
    Ui().SetTableColumns(IDC_COPIES_LIST,
                         {{"Folder", 55}, {"Stock aircraft", 55}, {"In-game name", 0}, {"State", 125}});
    Show(m_source.find(m_strAircraftDir.c_str()));
    return true;
}

bool CCopiesDlg::OnButtonClicked(int id) {
    switch (id) {
    case IDC_COPIES_OPEN: OnOpenFolder(); return true;
    case IDC_COPIES_REMOVE: OnRemove(); return true;
    default: return CDialog::OnButtonClicked(id);
    }
}

// Names come from disk and titles from repaint packages: a control
// character would show as a box, or as a line break in a message.
void CCopiesDlg::Show(std::vector<CopyRow> copies) {
    m_copies = std::move(copies);
    Ui().ClearTable(IDC_COPIES_LIST);
    for (const CopyRow& c : m_copies)
        Ui().AddTableRow(IDC_COPIES_LIST, {EscapeControls(c.folder), GetAircraftName(c.stockIndex),
                                           EscapeControls(c.title), CopyStateText(c.finished, c.ownFiles)});
}

const CopyRow* CCopiesDlg::Chosen() {
    int sel = Ui().GetTableSelection(IDC_COPIES_LIST);
    if (sel >= 0 && sel < static_cast<int>(m_copies.size())) return &m_copies[sel];
    Ui().MessageBox(kMsgNoCopyChosen, kCaptionError, kBoxStop);
    return nullptr;
}

void OpenCopyFolder(DialogUi& ui, const SimLookup& sim, const std::string& path) {
    std::string folder = FolderToOpen(path, sim.localAppData());
    if (!folder.empty() && ui.OpenInFileManager(folder.c_str())) return;
    char text[kAircraftPathCapacity + 64];
    std::snprintf(text, sizeof text, kMsgFolderGone, path.c_str());
    ui.MessageBox(text, kCaptionError, kBoxStop);
}

void CCopiesDlg::OnOpenFolder() {
    if (const CopyRow* copy = Chosen()) OpenCopyFolder(Ui(), m_sim, m_strAircraftDir + kPathSep + copy->folder);
}

// The folder and the in-game name are both asked about: players know a copy
// by either, and the Recycle Bin keeps only the folder name. The list may be
// older than the disk, so the copy is looked for again before anything is asked.
void CCopiesDlg::OnRemove() {
    const CopyRow* chosen = Chosen();
    if (!chosen) return;
    const std::string folder = chosen->folder;
    std::vector<CopyRow> now = m_source.find(m_strAircraftDir.c_str());
    auto copy = std::find_if(now.begin(), now.end(), [&](const CopyRow& r) { return r.folder == folder; });
    const std::string shownFolder = EscapeControls(folder);
    char text[kAircraftPathCapacity + 3 * kQuotedTitleMax + 200];
    if (copy == now.end()) {
        std::snprintf(text, sizeof text, kMsgFolderGone, shownFolder.c_str());
        Ui().MessageBox(text, kCaptionCopies, kBoxStop);
        Show(std::move(now));
        return;
    }
    // Cut between characters: the first byte of a double-byte one takes its second along.
    std::string title = EscapeControls(copy->title);
    if (title.size() > kQuotedTitleMax) {
        std::size_t cut = 0;
        while (cut < kQuotedTitleMax) cut += Ui().IsLeadByte(static_cast<unsigned char>(title[cut])) ? 2 : 1;
        title = title.substr(0, cut > kQuotedTitleMax ? cut - 2 : cut) + "...";
    }
    std::snprintf(text, sizeof text, copy->ownFiles ? kMsgConfirmRemoveOwn : kMsgConfirmRemove, shownFolder.c_str(),
                  title.c_str());
    if (Ui().MessageBox(text, kCaptionCopies, kBoxYesNo) != kIdYes) return;
    if (!m_source.remove(m_strAircraftDir.c_str(), folder.c_str())) {
        std::snprintf(text, sizeof text, kMsgRemoveFailed, shownFolder.c_str());
        Ui().MessageBox(text, kCaptionCopies, kBoxStop);
    }
    Show(m_source.find(m_strAircraftDir.c_str()));
}

// ============================================================================
// The engine as the dialog's source of copies
// ============================================================================

namespace {

std::vector<CopyRow> FindEngineCopies(const char* aircraftDir) {
    std::vector<CopyRow> rows;
    for (const CopyInfo& c : FindCopies(aircraftDir))
        rows.push_back({c.folder, c.stockIndex, c.title, c.finished, c.playerFiles.size()});
    return rows;
}

bool RemoveEngineCopy(const char* aircraftDir, const char* folder) {
    RemoveResult result;
    return RemoveCopy(aircraftDir, folder, false, false, &result) == RemoveOk;
}

const CopiesSource kEngineCopies = {FindEngineCopies, RemoveEngineCopy};

} // namespace

const CopiesSource& EngineCopies() { return kEngineCopies; }
