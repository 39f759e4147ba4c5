#include "copies_dlg.h"

#include "catalogue.h"
#include "copies.h"
#include "escape.h"
#include "messages.h"
#include "platform.h"
#include "resource.h"
#include "sim_path.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

// The in-game name the Remove question quotes, in bytes: a title can be any
// length, and a box cut short would lose the question itself.
constexpr std::size_t kQuotedTitleMax = 80;
// Entries of a list in a box (an applied texture takes up to three lines):
// more would push its buttons off the screen.
constexpr std::size_t kListedMax = 12;

namespace {

std::string Format(const char* format, ...) {
    char text[2 * kAircraftPathCapacity + 400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// One entry a line, indented, the surplus counted.
std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kListedMax; ++i) text += "\n  " + lines[i];
    if (lines.size() > kListedMax) text += "\n  ... and " + std::to_string(lines.size() - kListedMax) + " more";
    return text;
}

// The PNG's own name: the picker gives whole paths, and the folder is the
// same for all of them.
std::string FileName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

} // namespace

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
    case IDC_COPIES_EXPORT: OnExportTextures(); return true;
    case IDC_COPIES_APPLY: OnApplyTextures(); return true;
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

bool CCopiesDlg::SaidGone(RepaintStatus status, const std::string& folder) {
    if (status != RepaintNotFound) return false;
    Ui().MessageBox(Format(kMsgFolderGone, EscapeControls(folder).c_str()).c_str(), kCaptionCopies, kBoxStop);
    Show(m_source.find(m_strAircraftDir.c_str()));
    return true;
}

// Export needs no copy of its own, but the button works on the chosen one.
void CCopiesDlg::OnExportTextures() {
    const CopyRow* chosen = Chosen();
    if (!chosen) return;
    const std::string folder = chosen->folder;
    std::string dir;
    switch (Ui().BrowseForFolder(Format(kMsgExportPrompt, EscapeControls(folder).c_str()).c_str(), "", &dir)) {
    case kFolderCancelled: return;
    case kFolderNotAnsi: Ui().MessageBox(kMsgPickedFolderNotAnsi, kCaptionCopies, kBoxStop); return;
    case kFolderChosen: break;
    }
    ExportReport report;
    const RepaintStatus status = m_source.exportTextures(m_strAircraftDir.c_str(), folder.c_str(), dir.c_str(), &report);
    if (SaidGone(status, folder)) return;
    if (status == RepaintRefused) {
        const std::string text = report.existing.empty()
                                     ? Format(kMsgExportInsideAircraft, dir.c_str(), m_strAircraftDir.c_str())
                                     : kMsgExportExisting + Lines(report.existing);
        Ui().MessageBox(text.c_str(), kCaptionCopies, kBoxStop);
        return;
    }
    int written = 0;
    std::vector<std::string> problems;
    for (const ExportedPng& p : report.pngs) {
        if (p.problem.empty()) ++written;
        else problems.push_back(p.texture + ": " + p.problem);
    }
    std::string text = ExportedText(written, dir);
    if (!problems.empty()) text += "\n\nNot exported:" + Lines(problems);
    Ui().MessageBox(text.c_str(), kCaptionCopies, problems.empty() ? kBoxInformation : kBoxExclamation);
}

// A trial run first, so the question names what each PNG replaces and
// which cannot be used and why; only the usable ones are then applied. The
// state column may change with the textures, so the table is shown anew.
void CCopiesDlg::OnApplyTextures() {
    const CopyRow* chosen = Chosen();
    if (!chosen) return;
    const std::string folder = chosen->folder;
    const std::string shownFolder = EscapeControls(folder);
    // The table may be older than the disk: the copy may be gone, or its folder no copy any more.
    auto stopped = [&](RepaintStatus status) {
        if (status == RepaintRefused)
            Ui().MessageBox(Format(kMsgApplyNotACopy, shownFolder.c_str(), "").c_str(), kCaptionCopies, kBoxStop);
        return status == RepaintRefused || SaidGone(status, folder);
    };
    std::vector<std::string> pngs;
    switch (Ui().OpenFiles(kMsgApplyPrompt, kMsgPngKind, "*.png", &pngs)) {
    case kFolderCancelled: return;
    case kFolderNotAnsi: Ui().MessageBox(kMsgPickedFolderNotAnsi, kCaptionCopies, kBoxStop); return;
    case kFolderChosen: break;
    }
    ApplyOptions options;
    options.dryRun = true;
    ApplyReport trial;
    if (stopped(m_source.applyTextures(m_strAircraftDir.c_str(), folder.c_str(), pngs, options, &trial))) return;
    std::vector<std::string> usable, replaced, refused;
    for (const AppliedTexture& t : trial.textures) {
        if (!t.problem.empty()) {
            refused.push_back(FileName(t.png) + ": " + t.problem);
            continue;
        }
        usable.push_back(t.png);
        replaced.push_back(FileName(t.png) + " -> " + std::string("Texture") + kPathSep + t.texture);
    }
    const std::string notApplied = refused.empty() ? "" : "\n\nNot applied:" + Lines(refused);
    if (usable.empty()) {
        Ui().MessageBox((kMsgNoPngApplies + notApplied).c_str(), kCaptionCopies, kBoxStop);
        return;
    }
    const std::string question = Format(kMsgConfirmApply, shownFolder.c_str()) + Lines(replaced) + notApplied;
    if (Ui().MessageBox(question.c_str(), kCaptionCopies, kBoxYesNo) != kIdYes) return;

    options.dryRun = false;
    ApplyReport report;
    const RepaintStatus status =
        m_source.applyTextures(m_strAircraftDir.c_str(), folder.c_str(), usable, options, &report);
    if (stopped(status)) return;
    std::vector<std::string> lines;
    bool any = false;
    for (const AppliedTexture& t : report.textures) {
        if (!t.problem.empty()) {
            lines.push_back(FileName(t.png) + ": " + t.problem);
            continue;
        }
        std::string line = FileName(t.png) + " -> " + AppliedText(t, options.dither);
        if (t.alphaLost) line += std::string("\n    ") + kMsgAlphaLost;
        if (t.written) line += "\n    " + TrashText(t);
        lines.push_back(line);
        any = any || t.written;
    }
    std::string text = Format(kMsgApplied, shownFolder.c_str()) + Lines(lines) + notApplied;
    if (status != RepaintOk) text += std::string("\n\n") + ApplyStoppedText(any);
    Ui().MessageBox(text.c_str(), kCaptionCopies,
                    status == RepaintOk && refused.empty() ? kBoxInformation : kBoxExclamation);
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

const CopiesSource kEngineCopies = {FindEngineCopies, RemoveEngineCopy, ExportTextures, ApplyTextures};

} // namespace

const CopiesSource& EngineCopies() { return kEngineCopies; }
