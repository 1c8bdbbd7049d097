#pragma once
// The program settings page, the third tab: start with Windows (Run value or service) and the start-up window,
// the saved account and automatic sign-in, the notification-area icon, the IP update interval and automatic
// program updates with their mode. Each click changes the settings in memory, keeps the boxes that depend on
// each other consistent and reports the change to the main window, which applies and saves everything.
#include "common/framework/Controls.h"
#include "config/ZorvaneDlg.h"

class CZorvanePrefsDlg : public CZorvaneDlg {
public:
    enum { IDD = 131 };
    explicit CZorvanePrefsDlg(CWnd* parent) : CZorvaneDlg(IDD, parent) {}

    void DoDataExchange(CDataExchange* dx) override;

protected:
    void InitControls() override;
    void SetupLayout() override;
    void DeclareMessageMap(MessageMap& map) override;

private:
    // InitControls' steps.
    void FillIntervals();
    void SelectInterval();
    void ReadSystemSettings();
    void ApplyWindowsVersionRule();
    void ShowSettings();

    void EnableStartUpWindowOption();
    void EnableUpdateModes();

    void OnBnClickedAutoStart();
    void OnBnClickedShowDdnsConfig();
    void OnBnClickedNtService();
    void OnBnClickedShowSystemTray();
    void OnBnClickedAutoLogin();
    void OnBnClickedSaveId();
    void OnBnClickedSavePassword();
    void OnBnClickedAutoProgramUpdate();
    void OnCbnSelchangeIpUpdatePeriod();
    void OnPaint();
    void OnBnClickedHiddenProgramUpdate();
    void OnBnClickedAlertProgramUpdate();

    CStatic m_programStartGroup;
    CButton m_autoStart;
    CButton m_ntService;
    CButton m_showDdnsConfig;
    CStatic m_loginGroup;
    CButton m_saveId;
    CButton m_savePassword;
    CButton m_autoLogin;
    CStatic m_systemTrayGroup;
    CButton m_showSystemTray;
    CStatic m_ipUpdateGroup;
    CStatic m_ipUpdateLabel;
    CComboBox m_ipUpdatePeriod;
    CStatic m_programUpdateGroup;
    CButton m_autoProgramUpdate;
    CButton m_hiddenProgramUpdate;
    CButton m_alertProgramUpdate;
};
