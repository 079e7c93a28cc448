#pragma once
// Conversions entre Windows-1252 (la page de code des journaux et des textes du moteur) et
// UTF-8 (la console, la ligne de commande). Les cinq octets que Windows-1252 laisse sans
// caractère (0x81, 0x8D, 0x8F, 0x90, 0x9D) correspondent aux caractères de contrôle U+0081,
// U+008D, U+008F, U+0090 et U+009D : l'aller-retour d'un texte quelconque est exact.

#include <cstddef>
#include <string>
#include <string_view>

namespace vek {

// Chaque octet devient son caractère en UTF-8 (1 à 3 octets).
std::string Cp1252VersUtf8(std::string_view texte);

// Faux si le texte n'est pas de l'UTF-8 valide ou contient un caractère absent de
// Windows-1252 ; positionFautive reçoit alors la position (en octets) du caractère en cause.
// La sortie n'est complète qu'en cas de succès.
bool Utf8VersCp1252(std::string_view texte, std::string& sortie,
                    std::size_t* positionFautive = nullptr);

// Le caractère Unicode d'un octet Windows-1252.
char32_t CaractereCp1252(unsigned char octet);

} // namespace vek
