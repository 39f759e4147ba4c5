// The main dialog of Vantorel.exe.
#pragma once
#include "dialog.h"
#include "copies_dlg.h"
#include "copy_aircraft.h"
#include "sim_path.h"

#include <string>

// The copy procedure as the dialog calls it: Aircraft folder, prefix, index,
// the in-game name the player typed (null when left as shown), and where to
// say why it failed. Tests put a recorder in its place.
typedef CopyStatus (*CopyFunction)(const char* aircraftDir, const char* prefix, int index, const char* title,
                                   CopyFailure* failure);

// The engine's copy, without a report of each file.
CopyStatus CopyWithoutReport(const char* aircraftDir, const char* prefix, int index, const char* title,
                             CopyFailure* failure);

// The one working window: pick a stock aircraft, type a prefix, press Copy.
class CCopyDlg : public CDialog {
public:
    CCopyDlg(DialogUi& ui, const SimLookup& sim, const CopiesSource& copies, CopyFunction copy = CopyWithoutReport);
    // True when the list was filled, false when the simulator was not found.
    bool OnInit() override;
    bool OnCommand(unsigned code, int id) override;
    bool OnButtonClicked(int id) override;
    // Enter: ends the dialog, unless the prefix is too long or the player is
    // typing the in-game name.
    void OnOK() override;
    // The About item of the system menu.
    bool OnSysCommand(unsigned command) override;

    int m_nSelected;
    int m_nAircraftCount;
    int m_nPrefixMax;
    char m_szAircraftPath[kAircraftPathCapacity];
    std::string m_strSelected;
    std::string m_strPrefix;
    bool m_bChosen;                   // an aircraft was clicked in the list
    std::string m_strPredictedTitle;  // the copy's title unedited, as last predicted
    std::string m_strLastCopy;        // the folder of the last successful copy

    void OnSelchangeList();
    void OnCopy();
    void OnChangePrefix();
    void OnFindCfs();
    void OnOpenFolder();
    void OnCopies();
    void OnAbout();

private:
    // Reads the Selected and prefix fields; false, after the
    // too-many-characters box, when the prefix is longer than allowed.
    bool ReadFields();
    void UseAircraftFolder(const char* aircraftDir);
    // Refuse what cannot become the copy's names before anything is asked;
    // false after their box.
    bool CheckPrefix();
    bool CheckTitle(const std::string& title);

    const SimLookup& m_sim;
    const CopiesSource& m_copies;
    CopyFunction m_pfnCopy;
};
