// Le découpage d'un extrait en parties.

#include "Parties.h"

#include <algorithm>
#include <cstdio>

namespace vek {

namespace {

// Chiffres réservés pour N et M dans l'en-tête : la taille d'une partie ne dépend pas de M,
// connu seulement à la fin.
constexpr std::size_t ChiffresReserves = 10;

bool Suite(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// La position (en octets) après n caractères du texte, ou sa fin.
std::size_t ApresCaracteres(std::string_view texte, std::size_t n) {
    std::size_t i = 0;
    for (; i < texte.size(); ++i)
        if (!Suite(texte[i]) && n-- == 0)
            return i;
    return i;
}

} // namespace

std::size_t CompterCaracteres(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        n += Suite(c) ? 0 : 1;
    return n;
}

std::vector<std::string_view> DecouperParties(std::string_view contenu) {
    std::vector<std::string_view> parties;
    while (!contenu.empty()) {
        const std::size_t fin = std::min(contenu.find("\n\n"), contenu.size());
        if (fin != 0)
            parties.push_back(contenu.substr(0, fin));
        contenu.remove_prefix(std::min(contenu.size(), fin + 2));
    }
    return parties;
}

Empaqueteur::Empaqueteur(std::size_t limite, std::string_view avant, std::string_view apres,
                         std::size_t plafondMemoire)
    : avant_(avant), apres_(apres), plafond_(plafondMemoire) {
    // L'en-tête, sa fin de ligne et la fin de ligne qui sépare chaque entrée de la suivante.
    const std::size_t enTete =
        CompterCaracteres(avant) + CompterCaracteres(apres) + 2 * ChiffresReserves + 2;
    capacite_ = limite > enTete + 16 ? limite - enTete : 16;
}

void Empaqueteur::Ecrire(std::string_view octets) {
    ecrits_ += octets.size();
    if (!deverse_ && memoire_.size() + octets.size() <= plafond_) {
        if (memoire_.empty())
            memoire_.reserve(plafond_); // sans recopie en grandissant ; touchée au fil de l'eau
        memoire_.append(octets);
        return;
    }
    Deverser(octets);
}

void Empaqueteur::Deverser(std::string_view octets) {
    if (!deverse_) {
        deverse_ = true;
        if (!travail_.Ouvrir(cible_)) {
            raison_ = travail_.Raison();
            return;
        }
        travail_.Flux().SansPoussee();
        travail_.Flux().Ecrire(memoire_);
        std::string().swap(memoire_);
    }
    if (raison_.empty())
        travail_.Flux().Ecrire(octets);
}

void Empaqueteur::Couper() {
    // L'entrée ne tient dans aucune partie : la partie en cours se ferme, un morceau de
    // l'entrée en remplit une à lui seul.
    partieOuverte_ = false;
    const std::size_t fin = ApresCaracteres(entree_, capacite_);
    std::size_t coupure = fin;
    std::size_t reprise = fin;
    if (const std::size_t espace = entree_.rfind(' ', fin);
        espace != std::string::npos && espace > 0 && espace <= fin) {
        coupure = espace;
        reprise = espace + 1;
    } else {
        std::size_t barres = 0;
        while (barres < coupure && entree_[coupure - 1 - barres] == '\\')
            ++barres;
        if (barres % 2 == 1)
            reprise = --coupure;
    }
    debuts_.push_back(ecrits_);
    Ecrire(std::string_view(entree_).substr(0, coupure));
    entree_.erase(0, reprise);
    caracteresEntree_ = CompterCaracteres(entree_);
}

void Empaqueteur::Placer(std::string_view entree, std::size_t caracteres) {
    if (entree.empty())
        return;
    if (partieOuverte_ && caracteresPartie_ + 1 + caracteres <= capacite_) {
        Ecrire("\n");
        caracteresPartie_ += 1;
    } else {
        debuts_.push_back(ecrits_);
        partieOuverte_ = true;
        caracteresPartie_ = 0;
    }
    Ecrire(entree);
    caracteresPartie_ += caracteres;
}

void Empaqueteur::FinirEntree() {
    Placer(entree_, caracteresEntree_);
    entree_.clear();
    caracteresEntree_ = 0;
}

void Empaqueteur::Recevoir(std::string_view octets) {
    // Les entrées entières qui se suivent dans une même partie y sont déjà jointes par « \n » :
    // elles s'écrivent d'un seul tenant.
    const char* suite = nullptr;
    std::size_t tailleSuite = 0;
    const auto ecrireSuite = [&] {
        if (tailleSuite != 0)
            Ecrire({suite, tailleSuite});
        tailleSuite = 0;
    };
    while (!octets.empty()) {
        const std::size_t fin = std::min(octets.find('\n'), octets.size());
        const std::string_view morceau = octets.substr(0, fin);
        if (entree_.empty() && fin != octets.size() && !morceau.empty()) {
            const std::size_t caracteres = CompterCaracteres(morceau);
            if (caracteres <= capacite_) {
                if (partieOuverte_ && caracteresPartie_ + 1 + caracteres <= capacite_) {
                    if (tailleSuite != 0 && suite + tailleSuite + 1 == morceau.data()) {
                        tailleSuite += 1 + morceau.size();
                    } else {
                        ecrireSuite();
                        Ecrire("\n");
                        suite = morceau.data();
                        tailleSuite = morceau.size();
                    }
                    caracteresPartie_ += 1 + caracteres;
                } else {
                    ecrireSuite();
                    debuts_.push_back(ecrits_);
                    partieOuverte_ = true;
                    caracteresPartie_ = caracteres;
                    suite = morceau.data();
                    tailleSuite = morceau.size();
                }
                octets.remove_prefix(fin + 1);
                continue;
            }
        }
        ecrireSuite();
        entree_.append(morceau);
        caracteresEntree_ += CompterCaracteres(morceau);
        while (caracteresEntree_ > capacite_)
            Couper();
        if (fin == octets.size())
            return;
        FinirEntree();
        octets.remove_prefix(fin + 1);
    }
    ecrireSuite();
}

bool Empaqueteur::Recopier(EcrivainTexte& sortie, std::FILE* f, std::vector<char>& tampon,
                           std::uint64_t debut, std::uint64_t fin) {
    if (!f) {
        sortie.Ecrire(std::string_view(memoire_).substr(static_cast<std::size_t>(debut),
                                                        static_cast<std::size_t>(fin - debut)));
        return true;
    }
    for (std::uint64_t reste = fin - debut; reste > 0;) {
        const std::size_t n =
            std::fread(tampon.data(), 1,
                       static_cast<std::size_t>(std::min<std::uint64_t>(reste, tampon.size())), f);
        if (n == 0)
            return false;
        sortie.Ecrire(std::string_view(tampon.data(), n));
        reste -= n;
    }
    return true;
}

bool Empaqueteur::Terminer(EcrivainTexte& sortie, std::string& raison) {
    FinirEntree();
    std::FILE* f = nullptr;
    if (deverse_) {
        if (raison_.empty() && !travail_.Flux().Fermer())
            raison_ = travail_.Flux().Raison();
        if (raison_.empty() && !(f = std::fopen(travail_.Temporaire().c_str(), "rb")))
            raison_ = "le fichier de travail des parties ne se relit pas";
        if (!raison_.empty()) {
            raison = raison_;
            travail_.Abandonner();
            return false;
        }
    }
    const std::string total = std::to_string(debuts_.size());
    std::vector<char> tampon(f ? std::size_t{1} << 20 : 0);
    bool ok = true;
    // Une partie seule se colle telle quelle : pas d'en-tête « Partie 1/1 ».
    const bool enTetes = debuts_.size() > 1;
    for (std::size_t i = 0; i < debuts_.size() && ok; ++i) {
        sortie.Ecrire(i == 0 ? "" : "\n\n");
        if (enTetes)
            sortie.Ecrire(avant_ + std::to_string(i + 1) + "/" + total + apres_ + "\n");
        ok = Recopier(sortie, f, tampon, debuts_[i],
                      i + 1 < debuts_.size() ? debuts_[i + 1] : ecrits_);
    }
    if (!debuts_.empty())
        sortie.Ecrire("\n");
    if (f) {
        std::fclose(f);
        travail_.Abandonner();
    }
    if (!ok)
        raison = "le fichier de travail des parties a raccourci";
    return ok;
}

} // namespace vek
