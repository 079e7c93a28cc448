#pragma once
// Faux registre et faux services du lanceur d'informations système : des valeurs posées par le
// test, chaque appel enregistré.

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "InfoSysteme.h"
#include "Registre.h"

namespace vek::test {

class FauxRegistre : public Registre {
public:
    struct Valeur {
        std::uint32_t type = TypeChaine;
        std::string donnees; // octets tels que stockés (NUL final compris s'il y en a un)
    };
    struct Cle {
        std::map<std::string, Valeur> valeurs;
        bool ecritureRefusee = false; // l'utilisateur n'a que les droits de lecture
    };
    // Sous-clés de la machine locale.
    std::map<std::string, Cle> cles;

    // Trace des appels.
    std::vector<std::string> ouvertures; // sous-clés demandées
    std::vector<std::uint32_t> masques;
    std::vector<std::uint32_t> options;
    std::vector<std::string> lectures; // « sous-clé|valeur »
    std::vector<std::uint32_t> taillesOffertes;
    std::set<CleRegistre> ouvertes; // poignées pas encore refermées
    int fermetures = 0;

    void Poser(const std::string& sousCle, const std::string& nom, std::uint32_t type,
               std::string donnees) {
        cles[sousCle].valeurs[nom] = Valeur{type, std::move(donnees)};
    }

    std::int32_t OuvrirCle(CleRegistre racine, const std::string& sousCle,
                           std::uint32_t optionsOuverture, std::uint32_t masque,
                           CleRegistre& cle) override {
        ouvertures.push_back(sousCle);
        masques.push_back(masque);
        options.push_back(optionsOuverture);
        if (racine != CleMachineLocale)
            return RegistreIntrouvable;
        auto trouvee = cles.find(sousCle);
        if (trouvee == cles.end())
            return RegistreIntrouvable;
        constexpr std::uint32_t droitsEcriture = 0x2 | 0x4 | 0x20; // valeur, sous-clé, lien
        if (trouvee->second.ecritureRefusee && (masque & droitsEcriture) != 0)
            return RegistreAccesRefuse;
        const CleRegistre poignee = 0x1000 + nomsParPoignee_.size();
        nomsParPoignee_.push_back(sousCle);
        ouvertes.insert(poignee);
        cle = poignee;
        return RegistreSucces;
    }

    std::int32_t LireValeur(CleRegistre cle, const std::string& nomValeur, std::uint32_t& type,
                            unsigned char* tampon, std::uint32_t& taille) override {
        if (ouvertes.count(cle) == 0)
            throw std::logic_error("lecture sur une clé qui n'est pas ouverte");
        const std::string& sousCle = nomsParPoignee_.at(cle - 0x1000);
        lectures.push_back(sousCle + "|" + nomValeur);
        taillesOffertes.push_back(taille);
        // Le tampon doit arriver rempli de NUL.
        for (std::uint32_t i = 0; i < taille; ++i)
            if (tampon[i] != 0)
                throw std::logic_error("tampon non rempli de NUL");
        const auto& valeurs = cles.at(sousCle).valeurs;
        auto trouvee = valeurs.find(nomValeur);
        if (trouvee == valeurs.end())
            return RegistreIntrouvable;
        const Valeur& v = trouvee->second;
        type = v.type;
        if (v.donnees.size() > taille) {
            taille = static_cast<std::uint32_t>(v.donnees.size());
            return RegistreDonneesTropLongues;
        }
        std::memcpy(tampon, v.donnees.data(), v.donnees.size());
        taille = static_cast<std::uint32_t>(v.donnees.size());
        return RegistreSucces;
    }

    std::int32_t FermerCle(CleRegistre cle) override {
        ++fermetures;
        ouvertes.erase(cle);
        return RegistreSucces;
    }

private:
    std::vector<std::string> nomsParPoignee_;
};

class FauxServices : public ServicesInfoSysteme {
public:
    std::set<std::string> fichiers;      // fichiers présents
    bool demarrageReussi = true;         // résultat des démarrages
    bool demarrageLeveErreur = false;    // le démarrage lève une exception
    std::vector<std::string> recherches; // chemins cherchés
    std::vector<std::string> demarrages; // programmes démarrés (ou essayés)
    struct Message {
        std::string texte, titre;
    };
    std::vector<Message> messages;
    std::function<void()> surMessage;

    bool FichierPresent(const std::string& chemin) override {
        recherches.push_back(chemin);
        return fichiers.count(chemin) != 0;
    }
    bool DemarrerProgramme(const std::string& chemin) override {
        demarrages.push_back(chemin);
        if (demarrageLeveErreur)
            throw std::runtime_error("démarrage impossible");
        // Comme le système : un chemin vide ne démarre rien.
        return demarrageReussi && !chemin.empty();
    }
    void Message(std::string_view texte, std::string_view titre) override {
        messages.push_back({std::string(texte), std::string(titre)});
        if (surMessage)
            surMessage();
    }
};

} // namespace vek::test
