#pragma once
// Ce que le programme dit de lui-même dans ses sorties et ses messages.

#include <string_view>

namespace vek {

inline constexpr std::string_view TitreApplication = "Extracteur de LOG VEK";
inline constexpr std::string_view TitreMessages = "Cercles des Lanternes Sourdes";
inline constexpr std::string_view AdresseContact = "contact@lanternes-sourdes.example.org";

} // namespace vek
