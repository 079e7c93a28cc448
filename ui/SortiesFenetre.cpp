#include "SortiesFenetre.h"

#include <QDir>
#include <QFile>

#include "ArbresSelection.h"
#include "BarreEtat.h"
#include "EntreesExport.h"

#include "Formats.h"
#include "Publication.h"
#include "TexteQt.h"
#include <QMenu>

namespace {

// Ce que la fenêtre dit d'une sortie : la ligne de la barre d'état, et les textes de la boîte.
struct Textes {
    BarreEtat::Sortie barre;
    QString ecrit;
    QString ecritEnSecours;
    QString sansProgramme;
};

Textes TextesLogFinal() {
    return {{QStringLiteral("Fichier log écrit et confié au visualiseur du bureau :"),
             QStringLiteral("Fichier log écrit ; aucun visualiseur n'a démarré :")},
            QStringLiteral("Le fichier log a été écrit :\n"),
            QStringLiteral("Le dossier du programme n'est pas accessible en écriture : le fichier "
                           "log a été écrit dans votre dossier personnel :\n"),
            QStringLiteral("\n\nAucun visualiseur n'a pu l'ouvrir ; ouvrez-le avec l'éditeur de "
                           "texte de votre choix.")};
}

Textes TextesPageWeb(std::uint64_t entrees) {
    Textes textes{{QStringLiteral("Page web écrite et confiée au navigateur du bureau :"),
                   QStringLiteral("Page web écrite ; aucun navigateur n'a démarré :")},
                  QStringLiteral("La page web a été écrite :\n"),
                  QStringLiteral("Le dossier du programme n'est pas accessible en écriture : la "
                                 "page web a été écrite dans votre dossier personnel :\n"),
                  QStringLiteral("\n\nAucun navigateur n'a pu l'ouvrir ; ouvrez-la avec le "
                                 "navigateur de votre choix.")};
    if (entrees <= vek::EntreesPageUniqueMax)
        return textes;
    const QString taille =
        QStringLiteral("LogFinal.html tient %1 entrées, trop pour un navigateur : ")
            .arg(DepuisUtf8(vek::NombreFr(entrees)));
    textes.barre = {taille + QStringLiteral("le dossier par jour, une page par jour, a été confié "
                                            "au navigateur du bureau à sa place :"),
                    taille + QStringLiteral("ouvrez plutôt le dossier par jour, une page par jour "
                                            "(aucun navigateur n'a démarré) :")};
    return textes;
}

} // namespace

SortiesFenetre::SortiesFenetre(const Liens& liens) : l_(liens) {
    exports_ = new EntreesExport(
        l_.menu, l_.avant,
        [this](const vek::Format& format, std::function<void(const std::string&)> suite) {
            if (l_.permise() && Cochee() && l_.avantEcriture())
                Ecrire(vek::FormatsSortie::De({format.nom}), std::move(suite));
        },
        l_.menu);
    exports_->ouvrir = [this](const std::string& chemin) {
        Signaler(Sortie::PageWeb, chemin, l_.lanceur.OuvrirDocument(chemin),
                 l_.passes.EntreesPage());
    };
    exports_->annoncer = [this](const QString& message) { l_.barre->Annoncer(message); };
}

const std::vector<QAction*>& SortiesFenetre::Actions() const {
    return exports_->Actions();
}

bool SortiesFenetre::Cochee() const {
    // Rien de coché : l'écriture ne ferait qu'une sortie vide (ou un presse-papiers vide).
    const auto raison = l_.arbres.RienARetenir();
    if (raison)
        l_.message(*raison, vek::Icone::Aucune);
    return !raison;
}

void SortiesFenetre::CreerLogFinal() {
    if (!Cochee() || !l_.avantEcriture())
        return;
    Ecrire(vek::FormatsSortie::Texte(), [this](const std::string& chemin) {
        // Le programme du bureau ; s'il ne démarre pas, la fenêtre dit où est le fichier.
        Signaler(Sortie::LogFinal, chemin, l_.lanceur.OuvrirDocument(chemin));
    });
}

void SortiesFenetre::Ecrire(vek::FormatsSortie formats,
                            std::function<void(const std::string&)> suite) {
    if (l_.passes.Differer([this, formats, suite] { Ecrire(formats, suite); }) ||
        l_.passes.EnCours())
        return;
    // La sélection est prise au clic, dans les arbres ; la passe n'y touche plus.
    l_.passes.Ecrire({std::make_shared<const vek::Selection>(l_.arbres.Selection()), &l_.modes,
                      l_.nettoyage, formats},
                     std::move(suite));
}

void SortiesFenetre::Signaler(Sortie sortie, const std::string& cheminSortie, bool ouvert,
                              std::uint64_t entreesPage) const {
    const Textes textes =
        sortie == Sortie::LogFinal ? TextesLogFinal() : TextesPageWeb(entreesPage);
    const QString chemin = QDir::toNativeSeparators(QFile::decodeName(cheminSortie.c_str()));
    // Toujours dans la barre d'état : un programme qui démarre puis échoue ne laisse rien voir.
    l_.barre->SignalerEcriture(textes.barre, chemin, ouvert);
    if (ouvert && !secours_)
        return; // le programme du bureau montre le fichier, là où on l'attend
    QString texte = (secours_ ? textes.ecritEnSecours : textes.ecrit) + chemin;
    if (!ouvert)
        texte += textes.sansProgramme;
    l_.message(texte, vek::Icone::Aucune);
}
