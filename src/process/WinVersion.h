// Named tests of the Windows version. Each one reads a fresh version record
// (nothing is cached); a version call that does not answer exactly 1 makes
// the test False. Tests with a requirement first ask the required test, then
// read the extended record.
#pragma once

namespace olvado {

class WinVersion {
public:
    bool IsWin95() const;
    bool IsWin95OSR2() const;
    bool IsWin98() const;
    bool IsWinME() const;
    bool IsWinNT4() const;
    bool IsWinNT4Plus() const;
    bool IsWinNT4Server() const;
    bool IsWinNT4Workstation() const;
    bool IsWin2000() const;
    bool IsWin2000Plus() const;
    bool IsWin2000Server() const;
    bool IsWin2000Workstation() const;
    bool IsWin2000AdvancedServer() const;
    bool IsDomainController() const;
    bool IsWinXP() const;
    bool IsWinXPPlus() const;
    bool IsWinXPSP2() const;
    bool IsWinXPSP3() const;
    bool IsWinXPHomeEdition() const;
    bool IsWinXPProEdition() const;
    bool IsWinXPEmbedded() const;
    bool IsWinXPMediaCenter() const;
    bool IsWinXPStarter() const;
    bool IsWinXPTabletPc() const;
    bool IsWin2003Server() const;
    bool IsWin2003ServerR2() const;
    bool IsBladeServer() const;
    bool IsBackOfficeServer() const;
    bool IsEnterpriseServer() const;
    bool IsSmallBusinessServer() const;
    bool IsSmallBusinessRestrictedServer() const;
    bool IsTerminalServer() const;
    bool IsWinVista() const;
    bool IsWinVistaPlus() const;
    bool IsWinLonghornServer() const;
    bool IsWin10Plus() const;
    bool IsWinEmbedded() const;
};

} // namespace olvado
