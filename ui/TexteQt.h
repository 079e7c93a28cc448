#pragma once
// Passage des textes du moteur (octets Windows-1252, chemins dans l'encodage des noms de
// fichiers) aux chaînes de Qt, et retour.

#include <QString>

#include <string>
#include <string_view>

#include "Encodages.h"

namespace vek {
struct Resultat;
}

// Texte UTF-8 (les textes du moteur et du programme qui ne viennent pas du journal) → QString.
QString DepuisUtf8(std::string_view utf8);

// Octets Windows-1252 → texte affiché.
QString DepuisCp1252(vek::VueCp1252 octets);
// Texte saisi → octets Windows-1252 ; un caractère absent de la page de code devient « ? ».
vek::TexteCp1252 VersCp1252(const QString& texte);

// Chemins : encodage des noms de fichiers du système.
QString DepuisNomFichier(const vek::NomFichier& chemin);
vek::NomFichier VersNomFichier(const QString& chemin);

// Texte de l'échec d'une passe, chemin décodé comme un nom de fichier.
QString TexteEchec(const vek::Resultat& resultat);
