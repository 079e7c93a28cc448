#pragma once
// Les séances de jeu à la ligne de commande : --sessions les imprime, --session N (ou
// « derniere ») en fait la période.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Date.h"
#include "Erreurs.h"
#include "Sessions.h"

namespace vek {

// Un texte de Windows-1252 en UTF-8, échappé comme le dit TexteAffichable (terminal : la sortie
// est un terminal).
void EcrireEchappe(std::ostream& sortie, std::string_view cp1252, bool terminal);

// Une ligne par séance, de la plus ancienne à la plus récente : numéro, début, fin (à la
// seconde), nombre de lignes, puis ses locuteurs les plus actifs, séparés par des tabulations.
void EcrireSessions(std::ostream& sortie, const std::vector<Session>& sessions, bool terminal);

// La séance que désigne le texte de --session : son numéro, ou « derniere » (ou « dernière »)
// pour la plus récente ; une erreur d'utilisation si elle n'existe pas.
Issue<Session> ChoisirSession(const std::vector<Session>& sessions, std::string_view demande);

// La valeur de --pause : un nombre entier de minutes, de 1 à 100 000.
std::optional<int> LirePause(std::string_view texte);

} // namespace vek
