#include "SessionsConsole.h"

#include "Affichable.h"
#include "Cp1252.h"
#include "Messages.h"

#include <charconv>

namespace vek {

void EcrireEchappe(std::ostream& sortie, std::string_view cp1252, bool terminal) {
    // Par morceaux : un texte démesuré n'est pas copié en entier.
    constexpr std::size_t Morceau = std::size_t{1} << 16;
    for (std::size_t debut = 0; debut < cp1252.size(); debut += Morceau)
        sortie << TexteAffichable(Cp1252VersUtf8(cp1252.substr(debut, Morceau)), terminal);
}

void EcrireSessions(std::ostream& sortie, const std::vector<Session>& sessions, bool terminal) {
    for (const Session& s : sessions) {
        sortie << s.numero << '\t' << InstantCourt(s.debut, Precision::Seconde) << '\t'
               << InstantCourt(s.fin, Precision::Seconde) << '\t' << s.lignes;
        for (const std::string& nom : s.locuteurs) {
            sortie << '\t';
            EcrireEchappe(sortie, nom, terminal);
        }
        sortie << '\n';
    }
}

Issue<Session> ChoisirSession(const std::vector<Session>& sessions, std::string_view demande) {
    if (sessions.empty())
        return ErreurUtilisation(
            "le journal n'a aucune séance (aucune ligne datée dont l'heure se lit).");
    if (demande == "derniere" || demande == "dernière")
        return sessions.back();
    std::uint64_t numero = 0;
    const auto [fin, code] =
        std::from_chars(demande.data(), demande.data() + demande.size(), numero);
    if (code != std::errc() || fin != demande.data() + demande.size() || numero == 0)
        return ErreurUtilisation("« " + std::string(demande) +
                                 " » n'est pas une séance pour --session (un numéro de "
                                 "--sessions, ou « derniere »).");
    // Les numéros se suivent : la séance N est à sa place, décalée des plus anciennes oubliées.
    const std::uint64_t premier = sessions.front().numero;
    if (numero < premier || numero - premier >= sessions.size())
        return ErreurUtilisation("pas de séance " + std::to_string(numero) +
                                 " dans ce journal (séances " + std::to_string(premier) + " à " +
                                 std::to_string(sessions.back().numero) + ").");
    return sessions[numero - premier];
}

std::optional<int> LirePause(std::string_view texte) {
    int minutes = 0;
    const auto [fin, code] = std::from_chars(texte.data(), texte.data() + texte.size(), minutes);
    if (code != std::errc() || fin != texte.data() + texte.size() || minutes < 1 ||
        minutes > 100000)
        return std::nullopt;
    return minutes;
}

} // namespace vek
