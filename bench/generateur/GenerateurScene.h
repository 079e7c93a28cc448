#pragma once
// Une scène vue par plusieurs joueurs, pour les essais et les mesures de la fusion des journaux :
// ce qui s'y dit vraiment (les messages, dans l'ordre), et le journal que chaque joueur en a,
// avec ce qu'il entend (ses channels, sa portée d'écoute), sa propre parole écrite « Vous avez
// dit », ses murmures et les messages du jeu, son horloge décalée et une seconde d'hésitation à
// l'écriture. Déterministe.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vek {

struct JoueurScene {
    std::string nom;           // en Windows-1252
    std::vector<int> channels; // les channels dont il est membre
    std::int64_t avance = 0;   // l'avance de son horloge, en secondes
    bool hesitation = true;    // une seconde de plus, parfois, à l'écriture
};

struct ParametresScene {
    std::vector<JoueurScene> joueurs;
    int personnages = 6; // les autres personnages de la scène (non joueurs)
    int channels = 3;    // [Guilde], [Commerce], [Taverne]…
    std::uint64_t messages = 400;
    std::uint64_t graine = 7;
    std::int64_t debut = 0;    // secondes depuis 1970 (0 : le 24/12/2001 à 20:00)
    int proportionPrivee = 10; // pour cent de murmures et de messages du jeu
    int ecoute = 70;           // pour cent de chances d'entendre ce qui se dit à proximité
};

// Un message de la scène : qui l'a dit, où, quand (heure vraie), et qui l'a dans son journal.
struct MessageScene {
    enum class Genre { Channel, Proximite, Murmure, Jeu } genre = Genre::Proximite;
    int channel = -1;     // Channel
    std::string locuteur; // Windows-1252 ; vide pour un message du jeu
    std::string texte;
    std::int64_t instant = 0;
    std::vector<bool> entendu; // par joueur
};

struct Scene {
    std::vector<MessageScene> messages;
    std::vector<std::string> journaux; // le journal de chaque joueur, lignes CR LF
};

Scene GenererScene(const ParametresScene& p);
// La même scène, chaque ligne écrite à mesure dans le journal de son joueur (CR LF compris),
// sans rien garder : pour les grands journaux des mesures.
// garder, s'il est donné, reçoit chaque message de la scène.
void EcrireScene(const ParametresScene& p,
                 const std::function<void(std::size_t joueur, const std::string& ligne)>& ecrire,
                 const std::function<void(MessageScene&&)>& garder = {});

// Le tag d'un channel de la scène, crochets compris.
std::string TagScene(int channel);

} // namespace vek
