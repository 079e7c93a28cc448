#pragma once
// Conversions entre Windows-1252 (la page de code des journaux et des textes du moteur) et
// UTF-8 (la console, la ligne de commande). Une seule table sert dans les deux sens. Les cinq
// octets que Windows-1252 laisse sans caractère (0x81, 0x8D, 0x8F, 0x90, 0x9D) correspondent
// aux caractères de contrôle U+0081, U+008D, U+008F, U+0090 et U+009D : l'aller-retour d'un
// texte quelconque est exact.

#include "Encodages.h"

#include <cstddef>
#include <optional>

namespace vek {

// Chaque octet devient son caractère en UTF-8 (1 à 3 octets).
TexteUtf8 Cp1252VersUtf8(VueCp1252 texte);

// Faux si le texte n'est pas de l'UTF-8 valide ou contient un caractère absent de
// Windows-1252 ; positionFautive reçoit alors la position (en octets) du caractère en cause.
// La sortie n'est complète qu'en cas de succès.
bool Utf8VersCp1252(VueUtf8 texte, TexteCp1252& sortie, std::size_t* positionFautive = nullptr);

// Le caractère Unicode d'un octet Windows-1252.
char32_t CaractereCp1252(unsigned char octet);

// L'octet Windows-1252 d'un caractère Unicode, s'il en a un.
std::optional<unsigned char> OctetCp1252(char32_t caractere);

// Lit le caractère UTF-8 qui commence à la position i et avance i après lui ; faux, sans
// avancer, si la suite d'octets n'est pas valide (octet de suite manquant, forme trop longue,
// surrogat, au-delà de U+10FFFF).
bool LireCaractereUtf8(VueUtf8 texte, std::size_t& i, char32_t& c);

// Ajoute le caractère en UTF-8.
void AjouterUtf8(TexteUtf8& sortie, char32_t c);

} // namespace vek
