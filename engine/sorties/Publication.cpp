// Ce que partagent les sorties publiées : couleurs stables, caractère publié d'un octet, tampon
// de mise en forme.

#include "Publication.h"

#include "Catalogue.h"
#include "Cp1252.h"
#include "Selection.h"

#include <algorithm>
#include <array>

namespace vek {

namespace {

// Les noms : 24 teintes, tous les 15°, d'une même clarté, qui se lisent sur le blanc comme sur le
// noir (un contraste d'au moins 4,5 pour 1 sur l'un et l'autre, et de 4 pour 1 sur le fond sombre
// de la page) ; rangées de 105° en 105°, la suivante d'une teinte en est loin. Les badges : tous
// les 30°, assez sombres pour porter un texte blanc avec un contraste d'au moins 5 pour 1.
constexpr std::array<std::string_view, TeintesNoms> CouleursNoms = {
    "#e71313", "#29860b", "#1174d7", "#d711a5", "#79790a", "#0b8465", "#9b45f0", "#d24111",
    "#0b880b", "#3d6aef", "#df1279", "#627f0a", "#0b8282", "#ba20ed", "#b1600e", "#0b872a",
    "#6161f2", "#e51347", "#47830b", "#0d7ea3", "#cc11cc", "#91700c", "#0b8648", "#7d57f1"};
constexpr std::array<std::string_view, TeintesChannels> CouleursChannels = {
    "#a64e30", "#806a25", "#5e7321", "#397b24", "#247b39", "#237963",
    "#29758e", "#304ea6", "#4e30a6", "#8930a6", "#a63089", "#a6304e"};

} // namespace

std::uint32_t EmpreinteTexte(std::string_view texte) {
    std::uint32_t h = 2166136261u;
    for (const char c : texte) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

int TeinteNom(std::string_view nom) {
    return static_cast<int>(EmpreinteTexte(nom) % TeintesNoms);
}

int TeinteChannel(std::string_view tag) {
    return static_cast<int>(EmpreinteTexte(tag) % TeintesChannels);
}

std::string_view CouleurTeinteNom(int teinte) {
    return CouleursNoms[static_cast<std::size_t>(teinte)];
}

std::string_view CouleurTeinteChannel(int teinte) {
    return CouleursChannels[static_cast<std::size_t>(teinte)];
}

TeintesDesNoms::TeintesDesNoms(const std::vector<std::string_view>& noms) {
    std::array<bool, TeintesNoms> prises{};
    std::size_t libres = TeintesNoms;
    for (const std::string_view nom : noms) {
        if (teintes_.find(nom) != teintes_.end())
            continue;
        int teinte = TeinteNom(nom);
        if (libres > 0) {
            while (prises[static_cast<std::size_t>(teinte)])
                teinte = (teinte + 1) % TeintesNoms;
            prises[static_cast<std::size_t>(teinte)] = true;
            --libres;
        }
        teintes_.emplace(std::string(nom), teinte);
    }
}

TeintesDesNoms TeintesDesNoms::Pour(const Catalogue& catalogue, const Selection& selection) {
    std::vector<std::string_view> noms;
    std::vector<bool> places(selection.NombreNoms(), false);
    std::unordered_map<std::string_view, std::size_t> rangs; // dans la sélection
    for (std::size_t i = 0; i < selection.NombreNoms(); ++i)
        rangs.emplace(selection.Nom(i), i);
    for (std::size_t i = 0; i < catalogue.NombreNoms(); ++i)
        if (const auto r = rangs.find(catalogue.Nom(i)); r != rangs.end()) {
            noms.push_back(r->first);
            places[r->second] = true;
        }
    for (std::size_t i = 0; i < selection.NombreNoms(); ++i)
        if (!places[i])
            noms.push_back(selection.Nom(i));
    return TeintesDesNoms(noms);
}

int TeintesDesNoms::Teinte(std::string_view nom) const {
    const auto t = teintes_.find(nom);
    return t != teintes_.end() ? t->second : TeinteNom(nom);
}

char32_t CaracterePublie(unsigned char octet) {
    const char32_t c = CaractereCp1252(octet);
    // Seuls les octets sans caractère donnent un caractère de contrôle C1.
    return c >= 0x80 && c <= 0x9F ? char32_t{0xFFFD} : c;
}

void TamponSortie::Agrandir(std::size_t n) {
    const std::size_t capacite = std::max({capacite_ * 2, taille_ + n, std::size_t{4096}});
    std::unique_ptr<char[]> octets(new char[capacite]); // sans mise à zéro : tout sera écrit
    if (taille_ != 0)
        std::memcpy(octets.get(), octets_.get(), taille_);
    octets_ = std::move(octets);
    capacite_ = capacite;
}

void TamponSortie::Vider(std::size_t garde) {
    if (capacite_ > garde) {
        octets_.reset();
        capacite_ = 0;
    }
    taille_ = 0;
}

std::string NombreFr(std::uint64_t n) {
    std::string chiffres = std::to_string(n), s;
    for (std::size_t i = 0; i < chiffres.size(); ++i) {
        if (i != 0 && (chiffres.size() - i) % 3 == 0)
            s += "\u202F"; // espace fine insécable
        s += chiffres[i];
    }
    return s;
}

} // namespace vek
