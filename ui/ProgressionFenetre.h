#pragma once
// La progression d'une passe du moteur, vue de la fenêtre principale.
//
// Le moteur l'appelle sur le fil de travail ; rien ici ne touche un contrôle : chaque appel
// devient un signal, que la fenêtre reçoit en file d'attente sur son propre fil, dans l'ordre
// d'émission. La barre et le compteur ne sont envoyés qu'au rythme de l'affichage, une
// soixantaine de fois par seconde au plus (l'horloge n'est lue que toutes les 256 mises à
// jour) ; les dernières valeurs partent toujours à la fin de la passe. Le compteur de lignes
// n'est envoyé que par une passe qui compte (la recherche) : les autres le laissent tel quel.

#include <QObject>

#include <chrono>

#include "Progression.h"

class ProgressionFenetre final : public QObject, public vek::Progression {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds IntervalleAffichage{16};
    static constexpr unsigned MisesAJourEntreLecturesHorloge = 256;

    // Avant la passe, sur le fil de la fenêtre.
    void Commencer();
    // À la fin de la passe, sur le fil de travail : envoie les dernières valeurs.
    void Terminer();

    void Debut() override { emit Commence(); }
    void Maximum(std::uint64_t maximum) override;
    void Valeur(std::uint64_t valeur) override;
    void Compteur(std::uint64_t lignes) override;

signals:
    void Commence();
    void MaximumChange(int maximum);
    void ValeurChange(int valeur);
    void CompteurChange(quint64 lignes);

private:
    void Envoyer(bool force);

    // Écrit à chaque ligne par le fil de travail : sur sa propre ligne de cache, loin de ce que
    // le fil de la fenêtre lit de l'objet.
    struct alignas(64) CoteTravail {
        std::uint64_t valeur = 0;
        std::uint64_t lignes = 0;
        bool valeurEnAttente = false;
        bool lignesEnAttente = false;
        unsigned misesAJour = 0;
        std::chrono::steady_clock::time_point dernierEnvoi{};
    } travail_;
};
