#pragma once
// Chaîne de traitement par lots : le fil de la passe lit les lignes et les range dans des lots
// (Lot.h) ; chaque lot passe ensuite, dans l'ordre des étapes, par des fils de
// travail (cataloguer, filtrer, écrire…). Une étape à un seul fil voit les lots dans l'ordre
// où ils ont été remplis ; une étape à plusieurs fils les traite en parallèle, dans le désordre,
// mais l'étape suivante les reprend dans l'ordre. Les lots tournent dans un anneau de taille
// fixe : la mémoire ne dépend pas de la longueur du fichier.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Lot.h"

namespace vek {

class ChaineDeLots {
public:
    struct Etape {
        // Appelée pour chaque lot ; travailleur va de 0 à travailleurs - 1 (zones de travail
        // propres à chaque fil).
        std::function<void(Lot&, int travailleur)> traiter;
        int travailleurs = 1;
    };

    // tailleLot : octets au-delà desquels un lot est envoyé ; nbLots : lots en circulation.
    explicit ChaineDeLots(std::vector<Etape> etapes, std::size_t tailleLot = std::size_t{1} << 20,
                          std::size_t nbLots = 8);
    ~ChaineDeLots(); // abandonne si Terminer n'a pas été appelé
    ChaineDeLots(const ChaineDeLots&) = delete;
    ChaineDeLots& operator=(const ChaineDeLots&) = delete;

    // Le lot en cours de remplissage par le fil appelant.
    Lot& Courant() { return *courant_; }
    // Range une ligne (suivie de CR LF) dans le lot courant, et l'envoie quand il est plein.
    void Ajouter(std::string_view ligne) {
        Lot& lot = *courant_;
        lot.octets.append(ligne).append("\r\n", 2);
        lot.fins.push_back(lot.octets.size() - 2);
        if (lot.octets.size() >= tailleLot_)
            Envoyer();
    }
    // Range une ligne démesurée, reprise sans copie, seule dans son lot ; sa place suffit de
    // préférence à lui ajouter CR LF.
    void AjouterLongue(std::string&& ligne);
    // Le lot d'une ligne démesurée : au-delà, une ligne est rangée seule, sans être recopiée.
    bool Demesuree(std::string_view ligne) const { return ligne.size() >= tailleLot_; }
    // Envoie le lot courant aux étapes et attend un lot libre.
    void Envoyer();
    // Envoie le dernier lot, attend que tous les lots aient passé toutes les étapes et arrête
    // les fils. Une exception levée par une étape est relancée ici. Faux si l'attente a été
    // interrompue (la chaîne est alors abandonnée).
    bool Terminer();
    // Fonction appelée, sur le fil qui remplit les lots, toutes les IntervalleAttente pendant
    // qu'il attend les étapes (un lot libre, ou la fin) : la fenêtre continue de vivre même
    // quand l'écriture sur le disque traîne. Si elle rend faux, la chaîne est abandonnée.
    void DefinirAttente(std::function<bool()> patienter) { patienter_ = std::move(patienter); }
    static constexpr std::chrono::milliseconds IntervalleAttente{10};
    // Arrête les fils sans attendre les lots en cours (après une interruption ou une erreur).
    void Abandonner();

private:
    void Travailler(std::size_t etape, int travailleur);
    // Réveille les fils de l'étape (le fil qui remplit les lots pour etape == nombre d'étapes).
    void Reveiller(std::size_t etape) { signaux_[etape].notify_all(); }
    void ReveillerTous();
    // Attend que pret() devienne vrai (ou l'arrêt), en appelant patienter_ régulièrement ; faux
    // si patienter_ a demandé l'abandon.
    bool Patienter(std::unique_lock<std::mutex>& verrou, const std::function<bool()>& pret);

    struct Place {
        Lot lot;
        std::size_t etape = 0; // prochaine étape à passer ; etapes_.size() : libre
        bool pris = false;     // une étape le traite en ce moment
    };

    std::vector<Etape> etapes_;
    std::size_t tailleLot_;
    std::vector<Place> places_;
    Lot* courant_ = nullptr;
    Lot poubelle_;                       // reçoit les lignes quand la chaîne s'est arrêtée
    std::uint64_t envoyes_ = 0;          // lots envoyés
    std::vector<std::uint64_t> suivant_; // par étape : rang du prochain lot à prendre

    std::mutex verrou_;
    std::vector<std::condition_variable> signaux_; // un par étape, plus celui du fil qui remplit
    bool fin_ = false;                             // plus aucun lot ne sera envoyé
    bool arret_ = false;                           // les fils s'arrêtent sans finir
    bool interrompue_ = false;                     // la fonction d'attente a demandé l'arrêt
    std::exception_ptr erreur_;
    std::function<bool()> patienter_;
    std::vector<std::thread> fils_;
};

// Nombre de fils pour une étape qui se partage : les cœurs disponibles, entre 1 et 4.
int FilsDisponibles();

} // namespace vek
