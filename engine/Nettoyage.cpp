// Les noms remplacés d'une passe (renommages, pseudonymes) et le nettoyage d'un enregistrement.

#include "Nettoyage.h"

#include "Catalogue.h"
#include "Ligne.h"

#include <algorithm>
#include <unordered_set>

namespace vek {

namespace {

constexpr std::string_view Pseudonyme = "Personne ";

// Le premier mot d'un nom : ses premières lettres et chiffres ; vide s'il ne commence pas par
// une lettre ou un chiffre (un tel nom n'est remplacé qu'à sa place de locuteur).
std::string_view PremierMot(std::string_view nom) {
    std::size_t n = 0;
    while (n < nom.size() && LettreOuChiffre(static_cast<unsigned char>(nom[n])))
        ++n;
    return nom.substr(0, n);
}

// La place d'un mot dans le crible des premiers mots : un hachage de ses octets sur 16 bits.
constexpr std::uint32_t PasCle(std::uint32_t h, char c) {
    return h * 31u + static_cast<unsigned char>(c);
}
std::size_t CleMot(std::uint32_t h) {
    return (h ^ (h >> 16)) & 0xFFFFu;
}

// Les lignes du joueur gardent leur locuteur : « Vous », et les nœuds fixes des arbres.
bool NomDuJoueur(std::string_view nom) {
    return nom == NomVous || nom == NomWhisps || RognerEspaces(nom) == RognerEspaces(NomWhisps);
}

} // namespace

namespace {

std::uint32_t Hacher(std::string_view texte) {
    std::uint32_t h = 2166136261u; // FNV-1a
    for (const char c : texte)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

} // namespace

void TableDesNoms::Ranger(std::size_t rang) {
    if (cases_.size() < 4 * (entrees_.size() + 1)) {
        std::vector<Case> anciennes(std::max<std::size_t>(64, cases_.size() * 2));
        anciennes.swap(cases_);
        for (std::size_t r = 0; r < rang; ++r)
            Ranger(r);
    }
    const std::uint32_t h = Hacher(entrees_[rang].ancien);
    const std::size_t masque = cases_.size() - 1;
    std::size_t i = h & masque;
    while (cases_[i].rang >= 0)
        i = (i + 1) & masque;
    cases_[i] = {h, static_cast<std::int32_t>(rang)};
}

long TableDesNoms::Rang(std::string_view nom) const {
    if (cases_.empty())
        return -1;
    const std::uint32_t h = Hacher(nom);
    const std::size_t masque = cases_.size() - 1;
    for (std::size_t i = h & masque; cases_[i].rang >= 0; i = (i + 1) & masque)
        if (cases_[i].hachage == h &&
            entrees_[static_cast<std::size_t>(cases_[i].rang)].ancien == nom)
            return cases_[i].rang;
    return -1;
}

void TableDesNoms::Ajouter(std::string_view ancien, std::string_view nouveau) {
    if (ancien.empty() || noms_.contains(ancien))
        return;
    const std::string_view a = textes_.emplace_back(ancien);
    const std::string_view n = textes_.emplace_back(nouveau);
    const std::size_t rang = entrees_.size();
    entrees_.push_back({a, n});
    noms_.emplace(a, rang);
    Ranger(rang);
    const std::string_view mot = PremierMot(a);
    if (mot.empty())
        return;
    auto& liste = parPremierMot_[mot];
    liste.push_back(rang);
    std::stable_sort(liste.begin(), liste.end(), [&](std::size_t x, std::size_t y) {
        return entrees_[x].ancien.size() > entrees_[y].ancien.size();
    });
    std::uint32_t h = 0;
    for (const char c : mot)
        h = PasCle(h, c);
    const std::size_t cle = CleMot(h);
    crible_[cle / 64] |= std::uint64_t{1} << (cle % 64);
}

TableDesNoms::TableDesNoms(const ReglagesNettoyage& r, const Catalogue* catalogue,
                           const Selection* selection) {
    std::unordered_set<std::string_view> gardes; // les noms des renommages, jamais anonymisés
    for (const auto& [ancien, nouveau] : r.renommages) {
        Ajouter(ancien, nouveau);
        gardes.insert(ancien);
        gardes.insert(nouveau);
    }
    if (!r.anonymiser)
        return;
    std::size_t numero = 0;
    const auto anonymiser = [&](std::string_view nom) {
        if (nom.empty() || NomDuJoueur(nom) || gardes.contains(nom) || noms_.contains(nom))
            return;
        Ajouter(nom, std::string(Pseudonyme) + std::to_string(++numero));
    };
    for (std::size_t i = 0; catalogue && i < catalogue->NombreNoms(); ++i)
        anonymiser(catalogue->Nom(i));
    for (std::size_t i = 0; selection && i < selection->NombreNoms(); ++i)
        anonymiser(selection->Nom(i));
}

std::optional<std::string_view> TableDesNoms::Remplacant(std::string_view nom) const {
    const long rang = Rang(nom);
    if (rang < 0)
        return std::nullopt;
    return entrees_[static_cast<std::size_t>(rang)].nouveau;
}

std::string_view TableDesNoms::RemplacerMentions(std::string_view texte,
                                                 std::string& tampon) const {
    if (parPremierMot_.empty())
        return texte;
    const auto lettre = [&](std::size_t i) {
        return LettreOuChiffre(static_cast<unsigned char>(texte[i]));
    };
    std::size_t copie = 0; // ce qui précède est déjà dans tampon
    bool change = false;
    std::size_t i = 0;
    while (i < texte.size()) {
        if (!lettre(i)) {
            ++i;
            continue;
        }
        std::uint32_t h = PasCle(0, texte[i]);
        std::size_t fin = i + 1;
        for (; fin < texte.size() && lettre(fin); ++fin)
            h = PasCle(h, texte[fin]);
        const std::string_view mot = texte.substr(i, fin - i);
        const std::size_t cle = CleMot(h);
        const Entree* trouvee = nullptr;
        if ((crible_[cle / 64] >> (cle % 64)) & 1u) {
            if (const auto liste = parPremierMot_.find(mot); liste != parPremierMot_.end())
                for (const std::size_t rang : liste->second) {
                    const Entree& x = entrees_[rang];
                    const std::size_t apres = i + x.ancien.size();
                    if (texte.substr(i).starts_with(x.ancien) &&
                        (apres == texte.size() || !lettre(apres))) {
                        trouvee = &x;
                        break;
                    }
                }
        }
        if (!trouvee) {
            i = fin;
            continue;
        }
        if (!change) {
            tampon.clear();
            change = true;
        }
        tampon.append(texte.data() + copie, i - copie);
        tampon.append(trouvee->nouveau.data(), trouvee->nouveau.size());
        i += trouvee->ancien.size();
        copie = i;
    }
    if (!change)
        return texte;
    tampon.append(texte.data() + copie, texte.size() - copie);
    return tampon;
}

Nettoyeur::Nettoyeur(const ReglagesNettoyage& r, const Catalogue* catalogue,
                     const Selection& selection)
    : sansHrp_(r.sansHrp), actif_(r.Actif()), table_(r, catalogue, &selection) {
    for (std::size_t i = 0; i < selection.NombreChannels(); ++i)
        montree_.AjouterChannel(selection.Channel(i));
    for (std::size_t i = 0; i < selection.NombreNoms(); ++i) {
        const std::string_view nom = selection.Nom(i);
        montree_.AjouterNom(table_.Remplacant(nom).value_or(nom));
    }
}

namespace {

// Le locuteur d'une ligne de ce genre peut être remplacé (« Vous » ne l'est jamais).
bool LocuteurRemplacable(GenreEntree genre) {
    return genre != GenreEntree::Dit && genre != GenreEntree::Autre;
}

// La dernière place du nom en mot entier dans le début de ligne (après le tag) ; npos sinon.
std::size_t PlaceDuNom(std::string_view debut, std::string_view nom, std::size_t apresTag) {
    std::size_t p = debut.rfind(nom);
    while (p != std::string_view::npos && p >= apresTag) {
        const std::size_t fin = p + nom.size();
        const bool borneAvant =
            p == 0 || !LettreOuChiffre(static_cast<unsigned char>(debut[p - 1]));
        const bool borneApres =
            fin == debut.size() || !LettreOuChiffre(static_cast<unsigned char>(debut[fin]));
        if (borneAvant && borneApres)
            return p;
        if (p == 0)
            break;
        p = debut.rfind(nom, p - 1);
    }
    return std::string_view::npos;
}

} // namespace

bool Nettoyeur::Nettoyer(Enregistrement& e, TravailNettoyage& t) const {
    if (!actif_)
        return true;
    std::string_view texte = e.texte;
    bool retire = false;
    if (sansHrp_) {
        if (ToutHorsRolePlay(texte))
            return false;
        texte = RetirerHorsRolePlay(texte, t.hrp, retire);
        if (retire && texte.empty())
            return false;
    }
    texte = table_.RemplacerMentions(texte, t.mentions);
    std::optional<std::string_view> nom;
    if (LocuteurRemplacable(e.genre))
        nom = table_.Remplacant(e.nom);
    if (texte.data() == e.texte.data() && texte.size() == e.texte.size() && !nom)
        return true;

    // La ligne : son début (date, tag, locuteur), le message nettoyé, ce qui le suit.
    std::size_t place = e.ligne.size() - std::min(e.ligne.size(), e.texte.size());
    if (!e.ligne.substr(place).starts_with(e.texte))
        place = e.texte.empty() ? e.ligne.size() : e.ligne.rfind(e.texte);
    const bool messageTrouve = place != std::string_view::npos;
    const std::string_view debut = e.ligne.substr(0, messageTrouve ? place : e.ligne.size());
    t.ligne.clear();
    t.ligne.reserve(e.ligne.size() + texte.size() + 64);
    std::size_t apresTag = 0;
    if (e.genre == GenreEntree::Channel && !e.channel.empty())
        if (const std::size_t tag = debut.find(e.channel); tag != std::string_view::npos)
            apresTag = tag + e.channel.size();
    const std::size_t p = nom ? PlaceDuNom(debut, e.nom, apresTag) : std::string_view::npos;
    if (p != std::string_view::npos) {
        t.ligne.append(debut.substr(0, p));
        t.ligne.append(*nom);
        t.ligne.append(debut.substr(p + e.nom.size()));
    } else {
        t.ligne.append(debut);
    }
    if (messageTrouve) {
        t.ligne.append(texte);
        t.ligne.append(e.ligne.substr(place + e.texte.size()));
    }
    e.ligne = t.ligne;
    e.texte = texte;
    if (nom)
        e.nom = *nom;
    e.hrpRetire = retire;
    return true;
}

void ReprendreNettoyage(TravailNettoyage& t, const Enregistrement& e, std::string& ligne,
                        std::string& texte) {
    ReprendreSiDans(t.ligne, e.ligne, ligne);
    ReprendreSiDans(t.hrp, e.texte, texte);
    ReprendreSiDans(t.mentions, e.texte, texte);
}

} // namespace vek
