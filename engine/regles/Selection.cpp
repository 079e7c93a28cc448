#include "Selection.h"

#include "Ligne.h"
#include "Octets.h"

#include <algorithm>
#include <cstring>

namespace vek {

void Selection::Vider() {
    channelsCoches_ = 0;
    nomsCoches_ = 0;
    channels_.Vider();
    noms_.Vider();
}

void Selection::AjouterChannel(std::string_view texte) {
    if (channelsCoches_ >= MaxChannels)
        return;
    ++channelsCoches_;
    if (!channels_.Contient(texte))
        channels_.Ajouter(texte);
}

void Selection::AjouterNom(std::string_view texte) {
    if (nomsCoches_ >= MaxNoms)
        return;
    ++nomsCoches_;
    if (!noms_.Contient(texte))
        noms_.Ajouter(texte);
}

bool Selection::ProximiteEtNomRetenus(std::string_view nom) const {
    return channels_.Contient(TexteZoneProximite) && NomRetenu(nom);
}

bool Selection::NomRetenu(std::string_view nom) const {
    return noms_.Contient(nom);
}

bool Selection::ChannelRetenu(std::string_view channel) const {
    return channels_.Contient(channel);
}

std::string_view RemplacerTout(std::string_view texte, std::string_view cherche,
                               std::string_view remplace, std::string& destination) {
    if (cherche.empty())
        return texte;
    auto chercher = [&](std::size_t depuis) { return texte.find(cherche, depuis); };
    std::size_t pos = chercher(0);
    if (pos == std::string_view::npos)
        return texte;
    destination.clear();
    destination.reserve(texte.size()); // sans regrandir en route quand le texte raccourcit
    std::size_t depuis = 0;
    while (pos != std::string_view::npos) {
        destination.append(texte.substr(depuis, pos - depuis));
        destination.append(remplace);
        depuis = pos + cherche.size();
        pos = chercher(depuis);
    }
    destination.append(texte.substr(depuis));
    return destination;
}

namespace {

// Remplacement de chaque occurrence, de gauche à droite, dans les n octets de texte eux-mêmes ;
// remplace n'est pas plus long que cherche : l'écriture reste derrière la lecture, et chaque
// recherche porte sur des octets encore intacts. Rend la nouvelle longueur.
std::size_t RemplacerSurPlace(char* texte, std::size_t n, std::string_view cherche,
                              std::string_view remplace) {
    const std::string_view lu(texte, n);
    std::size_t pos = cherche.empty() ? std::string_view::npos : lu.find(cherche);
    if (pos == std::string_view::npos)
        return n;
    std::size_t lecture = 0;
    std::size_t ecriture = 0;
    while (pos != std::string_view::npos) {
        std::memmove(texte + ecriture, texte + lecture, pos - lecture);
        ecriture += pos - lecture;
        if (!remplace.empty()) // une vue vide peut n'avoir aucune adresse
            std::memcpy(texte + ecriture, remplace.data(), remplace.size());
        ecriture += remplace.size();
        lecture = pos + cherche.size();
        pos = lu.find(cherche, lecture);
    }
    std::memmove(texte + ecriture, texte + lecture, n - lecture);
    return ecriture + (n - lecture);
}

void Composer(std::string& sortie, std::string_view avant, std::string_view milieu,
              std::string_view apres) {
    sortie.clear();
    sortie.append(avant.data(), avant.size());
    sortie.append(milieu.data(), milieu.size());
    sortie.append(apres.data(), apres.size());
}

} // namespace

std::string_view ReecrireGenerique(std::string_view ligne, const Extraction& e, const Modes& modes,
                                   TravailReecriture& t) {
    // Le nom et le tag sont des vues dans la ligne d'origine (ou tamponTag), qui ne change
    // pas : le premier remplacement écrit dans un tampon, les suivants, qui raccourcissent,
    // réécrivent ce tampon sur place (une ligne démesurée n'est pas copiée deux fois).
    std::string_view courant = ligne;
    std::string* tampon = nullptr; // celui qui contient courant
    auto remplacer = [&](std::string_view cherche, std::string_view remplace) {
        if (tampon && remplace.size() <= cherche.size()) {
            char* debut = tampon->data() + (courant.data() - tampon->data());
            courant = {debut, RemplacerSurPlace(debut, courant.size(), cherche, remplace)};
            return;
        }
        std::string& destination = tampon == &t.tampons[0] ? t.tampons[1] : t.tampons[0];
        courant = RemplacerTout(courant, cherche, remplace, destination);
        if (courant.data() == destination.data())
            tampon = &destination;
    };

    if (modes.ModeUnlessChannel && e.genre == GenreCorps::Channel)
        remplacer(e.tag, {});
    if (modes.ModeUnlessDate)
        courant.remove_prefix(std::min(courant.size(), LongueurEnTete));
    if (modes.ModeRPName) {
        Composer(t.motif, "\"", e.nom, "\"");
        remplacer(t.motif, e.nom);
        Composer(t.motif, "{", e.nom, "}\":\"");
        Composer(t.remplacement, "", e.nom, " : ");
        remplacer(t.motif, t.remplacement);
    }
    return RognerEspaces(courant);
}

namespace {

struct Comptes {
    std::size_t crochets = 0;   // « [ »
    std::size_t guillemets = 0; // « " »
    std::size_t accolades = 0;  // « { »
};

// Nombre de « [ », « " » et « { » de la ligne, seize octets à la fois ; les derniers octets
// d'une ligne d'au moins seize octets sont relus dans un bloc qui finit avec elle, les octets
// déjà comptés masqués.
Comptes CompterSignes(std::string_view texte) {
    Comptes c;
    const char* p = texte.data();
    std::size_t n = texte.size();
#if VEK_SSE2
    if (n >= 16) {
        alignas(16) static constexpr signed char Masques[32] = {
            0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
            -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
        const __m128i crochet = _mm_set1_epi8('[');
        const __m128i guillemet = _mm_set1_epi8('"');
        const __m128i accolade = _mm_set1_epi8('{');
        const __m128i zero = _mm_setzero_si128();
        auto somme = [&](__m128i compteurs) {
            const __m128i s = _mm_sad_epu8(compteurs, zero);
            return static_cast<std::size_t>(_mm_cvtsi128_si64(s)) +
                   static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(s, s)));
        };
        const char* const fin = p + n;
        while (p < fin) {
            __m128i a = zero, b = zero, d = zero;
            for (int tour = 0; tour < 254 && fin - p >= 16; ++tour, p += 16) {
                const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                a = _mm_sub_epi8(a, _mm_cmpeq_epi8(bloc, crochet));
                b = _mm_sub_epi8(b, _mm_cmpeq_epi8(bloc, guillemet));
                d = _mm_sub_epi8(d, _mm_cmpeq_epi8(bloc, accolade));
            }
            if (fin - p > 0 && fin - p < 16) {
                const auto reste = static_cast<std::size_t>(fin - p);
                const __m128i bloc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fin - 16));
                const __m128i neufs =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(Masques + reste));
                a = _mm_sub_epi8(a, _mm_and_si128(_mm_cmpeq_epi8(bloc, crochet), neufs));
                b = _mm_sub_epi8(b, _mm_and_si128(_mm_cmpeq_epi8(bloc, guillemet), neufs));
                d = _mm_sub_epi8(d, _mm_and_si128(_mm_cmpeq_epi8(bloc, accolade), neufs));
                p = fin;
            }
            c.crochets += somme(a);
            c.guillemets += somme(b);
            c.accolades += somme(d);
        }
        return c;
    }
#endif
    for (; n > 0; ++p, --n) {
        c.crochets += *p == '[';
        c.guillemets += *p == '"';
        c.accolades += *p == '{';
    }
    return c;
}

// Réécriture directe des lignes de forme régulière, quand on peut établir que les
// remplacements successifs ne touchent que les endroits attendus :
//  - message de channel : un seul « [ » (celui du tag), aucune « { », et, avec les noms RP,
//    exactement deux guillemets, juste autour du nom ;
//  - message de proximité : une seule « { » (en tête du corps), suivie du nom et de « }":" »,
//    et exactement deux guillemets (ceux de « }":" »), qui ne peuvent pas entourer le nom
//    puisqu'un nom ne contient jamais « : ».
// Rend faux quand la ligne sort de ces formes : la réécriture générale s'en charge.
bool ReecrireFormeReguliere(std::string_view ligne, const Extraction& e, const Modes& modes,
                            TravailReecriture& t, std::string_view& sortie) {
    if (ligne.size() <= LongueurEnTete || e.nom.empty())
        return false;
    const std::string_view corps = ligne.substr(LongueurEnTete);
    const std::size_t debutNom = static_cast<std::size_t>(e.nom.data() - corps.data());
    const std::size_t finNom = debutNom + e.nom.size();
    std::string& s = t.tampons[0];
    s.clear();
    s.reserve(ligne.size()); // la ligne réécrite n'est jamais plus longue
    if (!modes.ModeUnlessDate)
        s.append(ligne.substr(0, LongueurEnTete));

    if (e.genre == GenreCorps::Channel) {
        if (e.tag.data() != corps.data() || e.tag.size() < 2 || e.tag.back() != ']')
            return false;
        const Comptes c = CompterSignes(ligne);
        if (c.crochets != 1 || c.accolades != 0)
            return false;
        if (modes.ModeRPName &&
            !(c.guillemets == 2 && debutNom >= e.tag.size() + 1 && corps[debutNom - 1] == '"' &&
              finNom < corps.size() && corps[finNom] == '"'))
            return false;
        if (!modes.ModeUnlessChannel)
            s.append(e.tag);
        if (modes.ModeRPName) {
            s.append(corps.substr(e.tag.size(), debutNom - 1 - e.tag.size()));
            s.append(e.nom);
            s.append(corps.substr(finNom + 1));
        } else {
            s.append(corps.substr(e.tag.size()));
        }
    } else if (e.genre == GenreCorps::Proximite) {
        if (!modes.ModeRPName) {
            s.append(corps);
        } else {
            static constexpr std::string_view Fin = "}\":\"";
            if (debutNom != 1 || corps.substr(finNom, Fin.size()) != Fin)
                return false;
            const Comptes c = CompterSignes(ligne);
            if (c.accolades != 1 || c.guillemets != 2)
                return false;
            s.append(e.nom);
            s.append(" : ");
            s.append(corps.substr(finNom + Fin.size()));
        }
    } else {
        return false;
    }
    sortie = RognerEspaces(s);
    return true;
}

} // namespace

std::optional<Enregistrement> FiltrerEnregistrement(std::string_view ligne,
                                                    const Selection& selection, const Modes& modes,
                                                    TravailReecriture& t, bool tousLesNomsRetenus) {
    const std::string_view corps = CorpsDeLigne(ligne);
    const Extraction e = AnalyserCorps(corps, t.tamponTag);
    const auto nomRetenu = [&](std::string_view nom) {
        return tousLesNomsRetenus ? !nom.empty() : selection.NomRetenu(nom);
    };
    bool retenue = false;
    switch (e.genre) {
    case GenreCorps::Channel:
        retenue = nomRetenu(e.nom) && selection.ChannelRetenu(e.tag);
        break;
    case GenreCorps::Proximite:
    case GenreCorps::Vous:
        retenue = selection.ChannelRetenu(TexteZoneProximite) && nomRetenu(e.nom);
        break;
    case GenreCorps::Autre:
        // Chuchotement reçu : seulement si le corps contient « vous appelle ».
        retenue = ContientVousAppelle(corps) && nomRetenu(NomWhisps);
        break;
    }
    if (!retenue)
        return std::nullopt;
    bool reguliere = false;
    const std::string_view reecrite = Reecrire(ligne, e, modes, t, &reguliere);
    return ConstruireEnregistrement(ligne, e, reecrite, modes, reguliere, t);
}

std::optional<std::string_view> FiltrerEtReecrire(std::string_view ligne,
                                                  const Selection& selection, const Modes& modes,
                                                  TravailReecriture& t, bool tousLesNomsRetenus) {
    const auto r = FiltrerEnregistrement(ligne, selection, modes, t, tousLesNomsRetenus);
    if (!r)
        return std::nullopt;
    return r->ligne;
}

std::string_view Reecrire(std::string_view ligne, const Extraction& e, const Modes& modes,
                          TravailReecriture& t, bool* reguliere) {
    // Sans remplacement à faire, la voie générale ne copie rien : elle suffit.
    if (modes.ModeRPName || modes.ModeUnlessChannel) {
        std::string_view sortie;
        if (ReecrireFormeReguliere(ligne, e, modes, t, sortie)) {
            if (reguliere)
                *reguliere = true;
            return sortie;
        }
    }
    return ReecrireGenerique(ligne, e, modes, t);
}

void ReprendreReecriture(TravailReecriture& t, Enregistrement& r, std::string& sortie,
                         std::string& annexe) {
    for (std::string& tampon : t.tampons)
        ReprendreSiDans(tampon, r.ligne, sortie);
    ReprendreSiDans(t.tamponTexte, r.texte, annexe);
    constexpr std::size_t Garde = std::size_t{1} << 20;
    for (std::string* s :
         {&t.tampons[0], &t.tampons[1], &t.nom, &t.motif, &t.remplacement, &t.tamponTexte})
        if (s->capacity() > Garde)
            std::string().swap(*s);
}

} // namespace vek
