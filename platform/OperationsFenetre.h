#pragma once
// Opérations sur les contrôles de la fenêtre principale, telles que le moteur les appelle.
// Tous les textes sont des octets : Windows-1252 pour les légendes, les nœuds des arbres et les
// messages ; le champ du chemin du journal est dans l'encodage des noms de fichiers du système.

#include <atomic>
#include <string>
#include <string_view>

namespace vek {

enum class ChampTexte {
    CheminLog,
    DateDebut,
    DateFin
};                                                    // TxtCheminFichierLOg, TxTDateDeb, TxTDateFin
enum class Arbre { Channels, Noms };                  // TreeViewChannels, TreeViewNoms
enum class CaseACocher { TousChannels, ToutLeMonde }; // CheckTLC, CheckTLM
enum class Pointeur { Fleche = 1, Sablier = 11 };
enum class Icone { Aucune, Stop };

class OperationsFenetre {
public:
    virtual ~OperationsFenetre() = default;

    // Champs texte : lecture telle que l'utilisateur l'a laissée (non rognée) ; l'écriture
    // déclenche le gestionnaire de changement du champ avant de rendre la main.
    virtual std::string LireTexte(ChampTexte champ) = 0;
    virtual void EcrireTexte(ChampTexte champ, std::string_view texte) = 0;

    // PrgBar (Min est fixé à 0 par la fenêtre) et LblCompteur (nombre entier en décimal).
    virtual void DefinirMaxProgression(float max) = 0;
    virtual void DefinirValeurProgression(float valeur) = 0;
    virtual void DefinirCompteur(double lignes) = 0;
    // Faux quand personne ne voit la barre (ligne de commande silencieuse) : la passe de
    // comptage, qui ne sert qu'à elle, est alors sautée.
    virtual bool ProgressionAffichee() const { return true; }

    // Arbres à cases à cocher ; les nœuds sont numérotés à partir de 1 dans l'ordre d'ajout.
    virtual void ViderArbre(Arbre arbre) = 0;
    virtual void AjouterNoeud(Arbre arbre, std::string_view cle, std::string_view texte) = 0;
    virtual int NombreNoeuds(Arbre arbre) = 0;
    virtual bool NoeudCoche(Arbre arbre, int i) = 0;
    virtual void CocherNoeud(Arbre arbre, int i, bool coche) = 0;
    virtual std::string TexteNoeud(Arbre arbre, int i) = 0;

    // Valeur d'une case : 0 décochée, 1 cochée, 2 grisée.
    virtual int ValeurCase(CaseACocher caseACocher) = 0;
    virtual void ActiverCreerLog() = 0; // CmdCreerLog

    // Laisse la fenêtre traiter ses événements en attente. Faux quand le programme se termine :
    // la passe en cours doit alors s'arrêter tout de suite.
    virtual bool TraiterEvenements() = 0;
    // Même rôle, appelé quand la passe attend ses fils de travail (et non plus à chaque ligne) :
    // les événements en attente sont traités dès que l'intervalle voulu est écoulé.
    virtual bool TraiterEvenementsEnAttente() { return TraiterEvenements(); }
    // Drapeau levé quand la passe doit s'arrêter, pour les lectures qui ne rendent pas la main
    // à chaque ligne (le comptage de l'analyse) ; aucun par défaut.
    virtual const std::atomic<bool>* DrapeauArret() const { return nullptr; }

    virtual void DefinirPointeur(Pointeur pointeur) = 0;

    // Nouvelle fenêtre FrmAnalyse, non modale, visible avant la lecture ; la légende de son Lbl1
    // se fixe ensuite par DefinirResumeAnalyse (sur la dernière fenêtre ouverte).
    virtual void OuvrirFenetreAnalyse() = 0;
    virtual void DefinirResumeAnalyse(std::string_view texte) = 0;

    // Boîte de message à un seul bouton OK ; rend la main quand l'utilisateur la ferme.
    virtual void Message(std::string_view texte, std::string_view titre, Icone icone) = 0;
};

} // namespace vek
