// Les options du nettoyage role-play de vek-extraire.

#include "OptionsNettoyage.h"

#include "Cp1252.h"
#include "Ligne.h"

#include <algorithm>

namespace vek {

std::optional<std::string> RangerRenommage(const std::string& valeur, ReglagesNettoyage& r) {
    const std::string attendu = " pour --renommer (ANCIEN=NOUVEAU, deux noms non vides).";
    const auto egal = valeur.find('=');
    if (egal == std::string::npos)
        return "« " + valeur + " » n'a pas de « = »" + attendu;
    std::string ancien, nouveau;
    for (auto [utf8, cp1252] : {std::pair{valeur.substr(0, egal), &ancien},
                                std::pair{valeur.substr(egal + 1), &nouveau}}) {
        if (!Utf8VersCp1252(utf8, *cp1252))
            return "« " + utf8 + " » ne s'écrit pas en Windows-1252" + attendu;
    }
    if (RognerEspaces(ancien).empty() || RognerEspaces(nouveau).empty())
        return "« " + valeur + " » a un nom vide" + attendu;
    const auto deja = std::find_if(r.renommages.begin(), r.renommages.end(),
                                   [&](const auto& p) { return p.first == ancien; });
    if (deja != r.renommages.end() && deja->second != nouveau)
        return "« " + Cp1252VersUtf8(ancien) + " » est renommé deux fois" + attendu;
    if (deja == r.renommages.end())
        r.renommages.emplace_back(std::move(ancien), std::move(nouveau));
    return std::nullopt;
}

std::string AideNettoyage() {
    return R"(Nettoyage role-play (éteint par défaut ; il vaut pour chaque format) :
  --sans-hrp           retire le texte hors role-play (HRP) des messages ; seul le message est
                       lu, jamais le tag ni le nom :
                       - une ligne dont le message est tout entier HRP disparaît : rogné, il
                         s'ouvre par (( et se ferme par le )) qui lui répond, ou il commence,
                         casse ignorée, par HRP, [HRP] ou (HRP) suivi d'une espace, de « : »,
                         de « - » ou de la fin (« HRPG » n'en est pas un) ;
                       - dans un autre message, chaque ((…)) est retiré, les espaces autour
                         réduites à une ; les parenthèses imbriquées en font partie
                         (« ((a (b) c)) » est une seule partie) ; un (( jamais fermé retire
                         la fin du message ; s'il ne reste que des espaces, la ligne disparaît.
                       Par exemple « ((brb)) » et « HRP : on reprend demain ? » disparaissent,
                       « Salut ((lag)) à tous » devient « Salut à tous », et « ((brb)) *Il
                       sourit.* ((phone)) » devient « *Il sourit.* ». En JSON,
                       « hrp_retire »: true marque une ligne dont du texte a été retiré.
  --renommer A=N       remplace le locuteur A par N sur chaque ligne retenue, et A partout où
                       il forme un mot entier dans les messages (lettres et chiffres, accents
                       compris, bornent un mot : « Aldric » n'est pas touché dans
                       « Aldricson »). Répétable ; deux anciens noms peuvent donner le même
                       nouveau (un second personnage et le principal). Le catalogue et les
                       nœuds cochés restent ceux des anciens noms.
  --anonymiser         remplace chaque autre locuteur par « Personne 1 », « Personne 2 »…,
                       dans l'ordre de première apparition dans l'extrait, à sa place de
                       locuteur et en mot entier dans les messages, dans chaque sortie (les
                       personnes et les filtres de la page compris). Ni les lignes du joueur
                       (« Vous avez dit », murmures reçus d'un inconnu de l'extrait), ni les
                       noms de --renommer ne sont anonymisés ; les tags des channels restent.

)";
}

} // namespace vek
