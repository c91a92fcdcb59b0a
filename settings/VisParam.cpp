#include "settings/VisParam.h"

#include "platform/ExeDir.h"

std::string DefaultVisParamPath() { return GetExeDir() + kVisParamFileName; }
CVisParam LoadVisParam(const std::string&) { return {}; }
bool SaveVisParam(const CVisParam&, const std::string&) { return false; }
double UnitFromSpeed(std::uint32_t nSpeed) { return nSpeed * 0.01; }
std::int32_t SpeedFromUnit(double) { return 0; }
