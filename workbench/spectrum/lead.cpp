#include "workbench/spectrum/lead.h"

namespace corvane {

Status readLeadTable(const std::filesystem::path&, LeadTable&) { return {}; }
LeadCoefficients leadAttenuation(const LeadTable&) { return {}; }
Status readLeadTable(const std::filesystem::path&, LeadTable&, LeadCoefficients&) { return {}; }

}  // namespace corvane
