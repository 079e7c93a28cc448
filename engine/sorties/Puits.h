#pragma once
// Les sorties d'une passe du journal final. Chacune est un puits : un enregistrement de ligne
// retenue entre, des octets sortent. Les fils de travail mettent en forme les lignes de chaque
// lot (Preparer, puis Ajouter) dans l'état que le puits range avec le lot ; le fil d'écriture
// du puits écrit ensuite les lots dans l'ordre de l'extrait (Ecrire). Le fichier, son
// remplacement une fois complet et le verrou du dossier sont l'affaire de la passe.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "Date.h"
#include "Enregistrement.h"
#include "Formats.h"
#include "Lot.h"
#include "Publication.h"
#include "Traduction.h"
#include "Validation.h"

namespace vek {

class EcrivainTexte;
class Selection;
class VersZone;
class VersFichier;

// Ce qu'une sortie sait de la passe qui l'écrit.
struct ContexteSortie {
    Date jour;                                    // la date du jour
    std::optional<std::pair<Date, Date>> periode; // celle de l'extrait, si elle est connue
    const Selection* selection = nullptr;
    // La taille d'un message (en caractères) pour les formats qui se collent par parties ;
    // 0 : celle du format.
    std::size_t tailleMessage = 0;
    std::string chemin; // le fichier de la sortie (ses fichiers de travail se nomment d'après lui)
    // La page web : une seule, ou une par jour ou par mois dans un dossier (chemin : le dossier).
    Decoupage decoupage = Decoupage::Aucun;
    // Les teintes des noms de la passe, bâties avant elle ; sans elles, celles de leurs octets.
    std::shared_ptr<const TeintesDesNoms> teintes;
    const TeintesDesNoms& Teintes() const {
        static const TeintesDesNoms parLeursOctets;
        return teintes ? *teintes : parLeursOctets;
    }
};

class Puits {
public:
    virtual ~Puits() = default;
    // Avant la première ligne, sur le fil qui lance la passe : l'en-tête.
    virtual void Commencer(EcrivainTexte& fichier) { (void)fichier; }
    // Sur un fil de travail : un lot commence, puis chacune de ses lignes retenues. Une ligne
    // demesuree est seule dans son lot ; ses vues restent valables jusqu'à l'écriture du lot, où
    // elle est mise en forme par morceaux, directement dans le fichier.
    virtual void Preparer(Lot& lot) = 0;
    virtual void Ajouter(Lot& lot, const Enregistrement& e, bool demesuree) = 0;
    // Sur le fil d'écriture du puits, les lots dans l'ordre de l'extrait.
    virtual void Ecrire(Lot& lot, EcrivainTexte& fichier) = 0;
    // Après la dernière ligne : la fin. Faux, avec la raison, si elle n'a pas pu s'écrire.
    virtual bool Finir(EcrivainTexte& fichier, std::string& raison) {
        (void)fichier;
        (void)raison;
        return true;
    }

    // Une sortie qui est un dossier, une fois finie : son dossier complet, sous son nom
    // temporaire, que la passe met à la place de l'ancien avec les autres sorties, tout ou rien
    // (ValiderEnsemble) ; le puits ne le supprime plus. Rien pour une sortie fichier.
    virtual std::optional<SortieAValider> ConfierDossier() { return std::nullopt; }
    // Les entrées écrites.
    virtual std::uint64_t EntreesEcrites() const { return 0; }

    // La place de l'état du puits dans chaque lot.
    void DefinirRang(std::size_t rang) { rang_ = rang; }

protected:
    template <class Etat> Etat& EtatDe(Lot& lot) const {
        if (lot.etats.size() <= rang_)
            lot.etats.resize(rang_ + 1);
        std::unique_ptr<EtatDeLot>& etat = lot.etats[rang_];
        if (!etat)
            etat = std::make_unique<Etat>();
        return static_cast<Etat&>(*etat);
    }

private:
    std::size_t rang_ = 0;
};

// Le socle des sorties mises en forme (page, JSON, forum, Discord) : les octets de chaque lot,
// la ligne démesurée mise en forme à l'écriture, et les titres des jours, dont celui de la
// première ligne datée du lot est décidé à l'écriture (le lot précédent a pu finir le même
// jour).
class PuitsMisEnForme : public Puits {
public:
    void Preparer(Lot& lot) override;
    void Ajouter(Lot& lot, const Enregistrement& e, bool demesuree) override;
    void Ecrire(Lot& lot, EcrivainTexte& fichier) override;
    std::uint64_t Entrees() const { return entrees_; }
    std::uint64_t EntreesEcrites() const override { return entrees_; }

protected:
    // Une entrée, dans un tampon (place réservée : VersZone) ou par morceaux (VersFichier) ;
    // modes : ceux du lot.
    virtual void Rendre(VersZone& s, const Enregistrement& e, const Modes& modes) = 0;
    virtual void Rendre(VersFichier& s, const Enregistrement& e, const Modes& modes) = 0;
    // Le titre d'un jour ; rien sans titres.
    virtual void Titre(TamponSortie& sortie, Date jour) {
        (void)sortie;
        (void)jour;
    }
    virtual bool AvecTitres() const { return false; }
    // Ce qui sort, dans l'ordre de l'extrait ; par défaut, droit dans le fichier.
    virtual void Sortir(std::string_view octets, EcrivainTexte& fichier);

private:
    struct Etat;
    std::optional<Date> jourCourant_; // fil d'écriture seulement
    std::uint64_t entrees_ = 0;
};

// Où va une mise en forme : la place réservée d'un coup dans un tampon pour une entrée (écrite
// sans autre vérification), ou un fichier par morceaux (ligne démesurée, jamais copiée en
// entier), par la fonction de sortie du puits.
class VersZone {
public:
    // maximum : ce que l'entrée peut écrire au plus (Place).
    VersZone(TamponSortie& t, std::size_t maximum) : t_(t), debut_(t.Place(maximum)), d_(debut_) {}
    ~VersZone() { t_.Avancer(static_cast<std::size_t>(d_ - debut_)); }
    VersZone(const VersZone&) = delete;
    VersZone& operator=(const VersZone&) = delete;
    // La place d'une entrée : ses textes traduits, et ses balises.
    static std::size_t Place(std::size_t octetsDeTexte) {
        return octetsDeTexte * ExpansionMax + 16 * 16 + 512;
    }
    void Balise(std::string_view texte) {
        if (texte.empty())
            return;
        std::memcpy(d_, texte.data(), texte.size());
        d_ += texte.size();
    }
    template <Vers V> void Traduit(std::string_view texte, const TableTraduction& table);
    // Le texte traduit, entre, puis avant et le texte à nouveau : la fin d'une ligne qui est le
    // texte n'est traduite qu'une fois.
    template <Vers V>
    void TexteEtLigne(std::string_view texte, std::string_view entre, std::string_view avant,
                      const TableTraduction& table) {
        char* const debut = d_;
        Traduit<V>(texte, table);
        const auto traduit = static_cast<std::size_t>(d_ - debut);
        Balise(entre);
        Traduit<V>(avant, table);
        std::memmove(d_, debut, traduit);
        d_ += traduit;
    }

private:
    TamponSortie& t_;
    char* const debut_;
    char* d_;
};

class VersFichier {
public:
    using Fonction = void (*)(void* puits, std::string_view octets, EcrivainTexte& fichier);
    VersFichier(EcrivainTexte& f, Fonction sortir, void* puits)
        : f_(f), sortir_(sortir), puits_(puits) {}
    ~VersFichier() { Vider(); }
    VersFichier(const VersFichier&) = delete;
    VersFichier& operator=(const VersFichier&) = delete;
    void Balise(std::string_view texte) { t_.Ajouter(texte); }
    template <Vers V> void Traduit(std::string_view texte, const TableTraduction& table);
    template <Vers V>
    void TexteEtLigne(std::string_view texte, std::string_view entre, std::string_view avant,
                      const TableTraduction& table) {
        Traduit<V>(texte, table);
        Balise(entre);
        Traduit<V>(avant, table);
        Traduit<V>(texte, table);
    }

private:
    void Vider() {
        sortir_(puits_, t_.Vue(), f_);
        t_.Vider();
    }
    EcrivainTexte& f_;
    Fonction sortir_;
    void* puits_;
    TamponSortie t_;
};

template <Vers V> void VersZone::Traduit(std::string_view texte, const TableTraduction& table) {
    d_ = TraduireVers<V>(d_, texte, table);
}

template <Vers V> void VersFichier::Traduit(std::string_view texte, const TableTraduction& table) {
    constexpr std::size_t Morceau = std::size_t{1} << 16;
    for (std::size_t i = 0; i < texte.size(); i += Morceau) {
        const std::string_view morceau = texte.substr(i, Morceau);
        char* const debut = t_.Place(morceau.size() * ExpansionMax + 16);
        t_.Avancer(static_cast<std::size_t>(TraduireVers<V>(debut, morceau, table) - debut));
        if (t_.Taille() >= Morceau)
            Vider();
    }
}

} // namespace vek
