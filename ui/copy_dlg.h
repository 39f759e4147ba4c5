// The main dialog, the About box and the application object of Vantorel.exe.
#pragma once
#include "dialog.h"
#include "copy_aircraft.h"
#include "sim_path.h"

#include <string>

// The copy procedure as the dialog calls it: Aircraft folder, prefix, index.
// Tests put a recorder in place of CopyAircraft.
typedef CopyStatus (*CopyFunction)(const char* aircraftDir, const char* prefix, int index);

// The one working window: pick a stock aircraft, type a prefix, press Copy.
class CCopyDlg : public CDialog {
public:
    explicit CCopyDlg(DialogUi& ui, CopyFunction copy = nullptr);
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

    void OnSelchangeList();
    void OnCopy();
    void OnSysCommand(unsigned nID, long lParam);
    void OnPaint();
    // The icon the platform shows while the minimised dialog is dragged.
    IconHandle OnQueryDragIcon();
    void OnAbout();

protected:
    static const MessageMap messageMap;

private:
    CopyFunction m_pfnCopy;
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
};
