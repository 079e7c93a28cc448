// Le texte hors role-play d'un message : les messages qui le sont tout entiers, et les parties
// « ((…)) » des autres.

#include "Nettoyage.h"

#include "Ligne.h"

#include <cstring>

namespace vek {

namespace {

bool CommencePar(std::string_view texte, std::string_view debut) {
    if (texte.size() < debut.size())
        return false;
    for (std::size_t i = 0; i < debut.size(); ++i)
        if (MajusculeCp1252(static_cast<unsigned char>(texte[i])) !=
            static_cast<unsigned char>(debut[i]))
            return false;
    return true;
}

// La fin (après « )) ») de la partie qui s'ouvre par le « (( » en debut ; npos si elle ne se
// ferme pas. Les parenthèses ouvertes à l'intérieur se referment avant « )) ».
std::size_t FinDePartie(std::string_view texte, std::size_t debut) {
    std::size_t dedans = 0;
    for (std::size_t i = debut + 2; i < texte.size(); ++i) {
        if (texte[i] == '(') {
            ++dedans;
        } else if (texte[i] == ')') {
            if (dedans == 0 && i + 1 < texte.size() && texte[i + 1] == ')')
                return i + 2;
            if (dedans > 0)
                --dedans;
        }
    }
    return std::string_view::npos;
}

} // namespace

bool ToutHorsRolePlay(std::string_view message) {
    const std::string_view m = RognerEspaces(message);
    // Une seule partie du début à la fin : « ((brb)) texte ((tel)) » garde son texte.
    if (m.starts_with("((") && FinDePartie(m, 0) == m.size())
        return true;
    for (const std::string_view marque : {"HRP", "[HRP]", "(HRP)"}) {
        if (!CommencePar(m, marque))
            continue;
        if (m.size() == marque.size())
            return true;
        const char suite = m[marque.size()];
        if (suite == ' ' || suite == ':' || suite == '-')
            return true;
    }
    return false;
}

std::string_view RetirerHorsRolePlay(std::string_view message, std::string& tampon, bool& retire) {
    retire = false;
    std::size_t debut = message.find("((");
    if (debut == std::string_view::npos)
        return message;
    retire = true;
    tampon.clear();
    std::size_t depuis = 0;
    while (debut != std::string_view::npos) {
        // Les espaces avant la partie s'en vont ; une seule revient s'il y en avait d'un côté et
        // qu'un texte reste de part et d'autre.
        std::string_view avant = message.substr(depuis, debut - depuis);
        const std::size_t avantRogne = avant.find_last_not_of(' ');
        const bool espaceAvant =
            avant.empty() ? !tampon.empty() && tampon.back() == ' ' : avantRogne + 1 < avant.size();
        avant = avantRogne == std::string_view::npos ? std::string_view{}
                                                     : avant.substr(0, avantRogne + 1);
        tampon.append(avant.data(), avant.size());
        while (!tampon.empty() && tampon.back() == ' ')
            tampon.pop_back();
        const std::size_t fin = FinDePartie(message, debut);
        if (fin == std::string_view::npos) {
            depuis = message.size();
            break;
        }
        depuis = fin;
        bool espaceApres = false;
        while (depuis < message.size() && message[depuis] == ' ') {
            ++depuis;
            espaceApres = true;
        }
        if ((espaceAvant || espaceApres) && !tampon.empty() && depuis < message.size())
            tampon.push_back(' ');
        debut = message.find("((", depuis);
    }
    tampon.append(message.data() + depuis, message.size() - depuis);
    return RognerEspaces(tampon);
}

} // namespace vek
