// Ce que partagent les sorties publiées : couleurs stables, caractère publié d'un octet, tampon
// de mise en forme.

#include "Publication.h"

#include "Cp1252.h"

#include <algorithm>
#include <array>

namespace vek {

namespace {

// Teintes tous les 10° (noms) et tous les 30° (badges), chacune assez sombre pour se lire sur
// le blanc (noms) ou porter un texte blanc (badges) avec un contraste d'au moins 5 pour 1.
constexpr std::array<std::string_view, TeintesNoms> CouleursNoms = {
    "#c52020", "#c53c20", "#b6501e", "#a25e1a", "#916818", "#7f6d15", "#727213", "#667613",
    "#577914", "#477b14", "#377d14", "#267f15", "#158115", "#157f26", "#157f38", "#157f4a",
    "#147d5a", "#147d6c", "#147b7b", "#17798c", "#1a75a2", "#1f70c1", "#2057c5", "#203cc5",
    "#2020c5", "#3c20c5", "#5720c5", "#7320c5", "#8e20c5", "#aa20c5", "#bf1fbf", "#c520aa",
    "#c5208e", "#c52073", "#c52057", "#c5203c"};
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
