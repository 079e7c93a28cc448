// Les noms remplacés d'une passe (renommages, pseudonymes) et le nettoyage d'un enregistrement.

#include "Nettoyage.h"

#include "Catalogue.h"
#include "Ligne.h"
#include "Selection.h"

#include <algorithm>
#include <cstring>
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

bool Lettre(char c) {
    return LettreOuChiffre(static_cast<unsigned char>(c));
}

// Le nom est à la place i du texte, en mot entier : ni lettre ni chiffre collé devant ou
// derrière, quels que soient ses propres bouts (« l'Elfe » n'est pas « 'Elfe »).
bool NomEn(std::string_view texte, std::size_t i, std::string_view nom) {
    if (texte.size() - i < nom.size() || texte.compare(i, nom.size(), nom) != 0)
        return false;
    const std::size_t apres = i + nom.size();
    return (i == 0 || !Lettre(texte[i - 1])) && (apres == texte.size() || !Lettre(texte[apres]));
}

// Les lignes du joueur gardent leur locuteur : « Vous », et les nœuds fixes des arbres.
bool NomDuJoueur(std::string_view nom) {
    return nom == NomVous || nom == NomWhisps || RognerEspaces(nom) == RognerEspaces(NomWhisps);
}

} // namespace

namespace {

// Le hachage d'un nom, d'un coup : ses huit premiers et huit derniers octets (qui se recouvrent
// pour un nom court) et sa longueur. Deux noms qui ne diffèrent qu'au milieu d'un nom de plus de
// seize octets se rencontrent, et la comparaison des noms les sépare.
std::uint32_t Hacher(std::string_view texte) {
    const std::size_t n = texte.size();
    const char* p = texte.data();
    std::uint64_t a = 0, b = 0;
    if (n >= 8) {
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + n - 8, 8);
    } else if (n >= 4) {
        std::uint32_t x = 0, y = 0;
        std::memcpy(&x, p, 4);
        std::memcpy(&y, p + n - 4, 4);
        a = x;
        b = y;
    } else if (n > 0) {
        const auto octet = [&](std::size_t k) {
            return static_cast<std::uint64_t>(static_cast<unsigned char>(p[k]));
        };
        a = octet(0) | octet(n / 2) << 8 | octet(n - 1) << 16;
    }
    std::uint64_t h = (a * 0x9E3779B97F4A7C15u) ^ ((b + n) * 0xC2B2AE3D27D4EB4Fu);
    h ^= h >> 32;
    return static_cast<std::uint32_t>(h);
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
    const auto plusLongue = [&](std::size_t x, std::size_t y) {
        return entrees_[x].ancien.size() > entrees_[y].ancien.size();
    };
    const std::string_view mot = PremierMot(a);
    if (mot.empty()) {
        if (std::none_of(a.begin(), a.end(), [](char c) { return Lettre(c); }))
            return; // rien qu'une ponctuation : remplacée seulement à la place du locuteur
        autres_.push_back(rang);
        std::stable_sort(autres_.begin(), autres_.end(), plusLongue);
        debuts_[static_cast<unsigned char>(a.front())] = true;
        return;
    }
    debuts_[static_cast<unsigned char>(mot.front())] = true;
    auto& liste = parPremierMot_[mot];
    liste.push_back(rang);
    std::stable_sort(liste.begin(), liste.end(), plusLongue);
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

const TableDesNoms::Entree* TableDesNoms::MotCherche(std::string_view texte, std::size_t i) const {
    // Un nom qui commence par une lettre : le mot entier d'abord passe le crible.
    std::uint32_t h = PasCle(0, texte[i]);
    std::size_t fin = i + 1;
    for (; fin < texte.size() && Lettre(texte[fin]); ++fin)
        h = PasCle(h, texte[fin]);
    const std::size_t cle = CleMot(h);
    if (!((crible_[cle / 64] >> (cle % 64)) & 1u))
        return nullptr;
    const auto liste = parPremierMot_.find(texte.substr(i, fin - i));
    if (liste == parPremierMot_.end())
        return nullptr;
    for (const std::size_t rang : liste->second)
        if (NomEn(texte, i, entrees_[rang].ancien))
            return &entrees_[rang];
    return nullptr;
}

const TableDesNoms::Entree* TableDesNoms::AutreCherche(std::string_view texte,
                                                       std::size_t i) const {
    for (const std::size_t rang : autres_)
        if (NomEn(texte, i, entrees_[rang].ancien))
            return &entrees_[rang];
    return nullptr;
}

std::string_view TableDesNoms::RemplacerMentions(std::string_view texte,
                                                 std::string& tampon) const {
    if (parPremierMot_.empty() && autres_.empty())
        return texte;
    const auto octet = [&](std::size_t k) { return static_cast<unsigned char>(texte[k]); };
    std::size_t copie = 0; // ce qui précède est déjà dans tampon
    bool change = false;
    for (std::size_t i = 0; i < texte.size();) {
        // Un nom ne commence qu'à l'un de ses octets de début, sans lettre ni chiffre collé
        // devant.
        while (i < texte.size() && !debuts_[octet(i)])
            ++i;
        if (i == texte.size())
            break;
        const Entree* trouvee = nullptr;
        if (i == 0 || !LettreOuChiffre(octet(i - 1)))
            trouvee = LettreOuChiffre(octet(i)) ? MotCherche(texte, i) : AutreCherche(texte, i);
        if (!trouvee) {
            ++i;
            continue;
        }
        if (!change) {
            tampon.clear();
            tampon.reserve(texte.size() + 64);
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

// Au-delà, une zone de travail rend sa mémoire (la ligne démesurée passée).
constexpr std::size_t Garde = std::size_t{1} << 20;

// Le locuteur d'une ligne de ce genre peut être remplacé (« Vous » ne l'est jamais).
bool LocuteurRemplacable(GenreEntree genre) {
    return genre != GenreEntree::Dit && genre != GenreEntree::Autre;
}

// La dernière place du nom en mot entier dans le début de ligne (après le tag) ; npos sinon.
std::size_t PlaceDuNom(std::string_view debut, std::string_view nom, std::size_t apresTag) {
    if (nom.empty() || debut.size() < apresTag)
        return std::string_view::npos;
    // Le locuteur est le plus souvent une vue sur la ligne même : sa place, si c'est bien la
    // dernière, sans chercher.
    const auto adresse = reinterpret_cast<std::uintptr_t>(nom.data());
    const auto base = reinterpret_cast<std::uintptr_t>(debut.data());
    const std::size_t lu = adresse - base;
    if (adresse >= base + apresTag && adresse < base + debut.size() && NomEn(debut, lu, nom) &&
        debut.find(nom, lu + 1) == std::string_view::npos)
        return lu;
    std::size_t p = debut.rfind(nom);
    while (p != std::string_view::npos && p >= apresTag) {
        if (NomEn(debut, p, nom))
            return p;
        if (p == 0)
            break;
        p = debut.rfind(nom, p - 1);
    }
    return std::string_view::npos;
}

// Où commence ce que le nettoyage peut toucher : après l'en-tête daté et après le tag d'un
// message de channel (un locuteur du nom d'un channel ne change pas le tag).
std::size_t DebutDuCorps(const Enregistrement& e) {
    std::size_t debut = DateDeLigne(e.ligne) ? std::min(e.ligne.size(), LongueurEnTete) : 0;
    if (e.genre == GenreEntree::Channel && !e.channel.empty())
        if (const std::size_t tag = e.ligne.find(e.channel, debut); tag != std::string_view::npos)
            debut = tag + e.channel.size();
    return debut;
}

void Alleger(std::string& s) {
    if (s.capacity() > Garde)
        std::string().swap(s);
}

} // namespace

bool Nettoyeur::Nettoyer(Enregistrement& e, TravailNettoyage& t) const {
    if (!actif_)
        return true;
    for (std::string* s : {&t.hrp, &t.mentions, &t.ligne, &t.recompose[0], &t.recompose[1]})
        Alleger(*s);
    std::string_view texte = e.texte;
    bool retire = false;
    if (sansHrp_) {
        if (ToutHorsRolePlay(texte))
            return false;
        texte = RetirerHorsRolePlay(texte, t.hrp, retire);
        // « ((x)) HRP : je reviens » : tout hors role-play une fois la partie retirée.
        if (retire && (texte.empty() || ToutHorsRolePlay(texte)))
            return false;
    }
    texte = table_.RemplacerMentions(texte, t.mentions);
    std::optional<std::string_view> nom;
    if (LocuteurRemplacable(e.genre))
        nom = table_.Remplacant(e.nom);
    if (texte.data() == e.texte.data() && texte.size() == e.texte.size() && !nom)
        return true; // rien à nettoyer : la ligne garde ses octets
    ComposerLigne(e, texte, nom, t);
    e.ligne = t.ligne;
    e.texte = texte;
    if (nom)
        e.nom = *nom;
    e.hrpRetire = retire;
    return true;
}

void Nettoyeur::ComposerLigne(const Enregistrement& e, std::string_view texte,
                              std::optional<std::string_view> nom, TravailNettoyage& t) const {
    // La ligne : son début (date, tag, locuteur), le message nettoyé, ce qui le suit.
    std::size_t place = e.ligne.size() - std::min(e.ligne.size(), e.texte.size());
    if (e.texte.data() != e.ligne.data() + place && !e.ligne.substr(place).starts_with(e.texte))
        place = e.texte.empty() ? e.ligne.size() : e.ligne.rfind(e.texte);
    std::size_t corps = DebutDuCorps(e);
    if (place == std::string_view::npos) {
        RecomposerLigne(e, corps, nom, t);
        return;
    }
    // Des modes ont raccourci l'en-tête (un tag écrit dans ses 22 premiers octets) : le
    // message commence avant la fin présumée de l'en-tête, et c'est lui qui est remplacé.
    corps = std::min(corps, place);
    const std::string_view debut = e.ligne.substr(0, place);
    const std::size_t p = nom ? PlaceDuNom(debut, e.nom, corps) : std::string_view::npos;
    t.ligne.clear();
    t.ligne.reserve(e.ligne.size() - e.texte.size() + texte.size() + (nom ? nom->size() : 0));
    if (p != std::string_view::npos) {
        t.ligne.append(debut.substr(0, p));
        t.ligne.append(*nom);
        t.ligne.append(debut.substr(p + e.nom.size()));
    } else if (nom && debut.find(e.nom, corps) != std::string_view::npos) {
        // Le locuteur est là sans être un mot à part : il part quand même, partout.
        t.ligne.append(debut.substr(0, corps));
        t.ligne.append(RemplacerTout(debut.substr(corps), e.nom, *nom, t.recompose[0]));
    } else {
        t.ligne.append(debut);
    }
    t.ligne.append(texte);
    t.ligne.append(e.ligne.substr(place + e.texte.size()));
}

void Nettoyeur::RecomposerLigne(const Enregistrement& e, std::size_t corps,
                                std::optional<std::string_view> nom, TravailNettoyage& t) const {
    // Le message ne se retrouve pas dans la ligne (des modes ont réécrit la ligne autrement que
    // le message seul) : tout le corps est nettoyé comme un message, ses espaces de tête gardées.
    std::string_view reste = e.ligne.substr(corps);
    const std::size_t espaces = std::min(reste.find_first_not_of(' '), reste.size());
    std::string_view nettoye = reste.substr(espaces);
    // Le message nettoyé reste dans hrp ou mentions : deux autres tampons, alternés.
    const auto libre = [&] {
        const std::string& r = t.recompose[0];
        const bool dedans = nettoye.data() >= r.data() && nettoye.data() <= r.data() + r.size();
        return dedans ? &t.recompose[1] : &t.recompose[0];
    };
    bool retire = false;
    if (sansHrp_)
        nettoye = RetirerHorsRolePlay(nettoye, *libre(), retire);
    nettoye = table_.RemplacerMentions(nettoye, *libre());
    if (nom)
        nettoye = RemplacerTout(nettoye, e.nom, *nom, *libre());
    t.ligne.clear();
    t.ligne.reserve(corps + espaces + nettoye.size());
    t.ligne.append(e.ligne.substr(0, corps + espaces));
    t.ligne.append(nettoye);
}

void ReprendreNettoyage(TravailNettoyage& t, Enregistrement& e, std::string& ligne,
                        std::string& texte) {
    ReprendreSiDans(t.ligne, e.ligne, ligne);
    ReprendreSiDans(t.hrp, e.texte, texte);
    ReprendreSiDans(t.mentions, e.texte, texte);
    for (std::string* s : {&t.hrp, &t.mentions, &t.ligne, &t.recompose[0], &t.recompose[1]})
        Alleger(*s);
}

} // namespace vek
