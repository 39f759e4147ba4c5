// The main dialog, the About box and the application object of Vantorel.exe.
#pragma once
#include "dialog.h"
#include "copies_dlg.h"
#include "copy_aircraft.h"
#include "sim_path.h"

#include <string>

// The copy procedure as the dialog calls it: Aircraft folder, prefix, index,
// and the in-game name the player typed (null when left as shown). Tests put
// a recorder in place of CopyAircraftTitled.
typedef CopyStatus (*CopyFunction)(const char* aircraftDir, const char* prefix, int index, const char* title);

// The one working window: pick a stock aircraft, type a prefix, press Copy.
class CCopyDlg : public CDialog {
public:
    // `copies` null: the Copies button reports that there is no folder to list,
    // as it does before the simulator is found.
    explicit CCopyDlg(DialogUi& ui, CopyFunction copy = nullptr, const CopiesSource* copies = nullptr);
    ~CCopyDlg() override;
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(DataExchange* pDX) override;
    // TRUE when the list was filled, FALSE after a registry failure.
    int OnInitDialog() override;

    int m_nSelected;
    int m_nAircraftCount;
    int m_nPrefixMax;
    char m_szAircraftPath[kAircraftPathCapacity];
    std::string m_strSelected;
    std::string m_strPrefix;
    IconHandle m_hIcon;
    bool m_bChosen;                   // an aircraft was clicked in the list
    std::string m_strTitle;           // the In-game name field at Copy
    std::string m_strPredictedTitle;  // what the field showed: the copy's title unedited
    std::string m_strLastCopy;        // the folder of the last successful copy

    void OnSelchangeList();
    void OnCopy();
    void OnChangePrefix();
    void OnFindCfs();
    void OnOpenFolder();
    void OnCopies();
    void OnSysCommand(unsigned nID, long lParam);
    void OnPaint();
    // The icon the platform shows while the minimised dialog is dragged.
    IconHandle OnQueryDragIcon();
    void OnAbout();

protected:
    static const MessageMap messageMap;

private:
    void UseAircraftFolder(const char* aircraftDir);
    // Refuses what cannot become the copy's names before anything is asked;
    // false after its box.
    bool CheckPrefix();
    bool CheckTitle();

    CopyFunction m_pfnCopy;
    const CopiesSource* m_pCopies;
};

// The About box: template 100, no fields, every message to CDialog.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(DialogUi& ui);
    ~CAboutDlg() override;
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(DataExchange* pDX) override;

protected:
    static const MessageMap messageMap;
};

// The application: runs the main dialog once and ends.
class CCopyApp : public CWinApp {
public:
    CCopyApp();
    ~CCopyApp() override;
    // Always 0: the application ends when the main dialog is gone.
    int InitInstance() override;

    const CopiesSource* m_pCopies = nullptr;  // what the Copies dialog lists, set by the entry routine
};
