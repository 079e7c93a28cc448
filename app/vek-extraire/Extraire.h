#pragma once
// vek-extraire : la ligne de commande qui appelle, sans fenêtre, les passes du moteur (analyse,
// recherche, journal final, recherche de mots), avec une barre de progression sur la sortie
// d'erreur.

#include <atomic>
#include <cstddef>
#include <ostream>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "Horloge.h"
#include "Lanceur.h"
#include "Messages.h"

namespace vek {

struct ContexteExtraire {
    // La sortie d'erreur est un terminal : la barre de progression y est permise.
    bool erreurEstTerminal = false;
    // La sortie standard est un terminal : les caractères de contrôle des textes du journal y
    // sont montrés par leur symbole visible (voir TexteAffichable).
    bool sortieEstTerminal = false;
    // La sortie standard est un terminal qui comprend les échappements ANSI : les mots que
    // --chercher trouve y sont en gras.
    bool grasSurLaSortie = false;
    // Le lanceur de --ouvrir ; nul : celui du système. Sans --ouvrir, rien n'est ouvert.
    LanceurDocument* lanceur = nullptr;
    // Conversion d'un chemin reçu en UTF-8 vers l'encodage des noms de fichiers du système,
    // quand ce n'est pas l'UTF-8 (Windows) ; nulle : les chemins sont pris tels quels.
    std::string (*cheminSysteme)(const std::string& utf8) = nullptr;
    // L'arrêt demandé (SIGINT, SIGTERM) : la passe en cours s'arrête proprement ; signal
    // donne le numéro du signal reçu, pour le code de sortie (128 + signal).
    std::stop_token arret;
    const std::atomic<int>* signal = nullptr;
    // L'horloge de --suivre (ses attentes entre deux regards sur le journal) ; nulle : celle de
    // la machine. Les essais y pilotent l'écrivain du journal.
    Horloge* horloge = nullptr;
};

// args : les arguments qui suivent le nom du programme, en UTF-8 (le journal et le dossier
// passent par contexte.cheminSysteme s'il est donné). Rend le code de sortie.
int ExecuterExtraire(std::vector<std::string> args, std::ostream& out, std::ostream& err,
                     const ContexteExtraire& contexte = {});

std::string TexteAide();
std::string TexteVersion(); // « vek-extraire 2.0.4 »

} // namespace vek
