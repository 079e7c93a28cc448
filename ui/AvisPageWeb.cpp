#include "AvisPageWeb.h"

#include "Formats.h"
#include "Publication.h"

BarreEtat::Sortie BarrePageWeb(std::uint64_t entrees, const BarreEtat::Sortie& ordinaire) {
    if (entrees <= vek::EntreesPageUniqueMax)
        return ordinaire;
    const QString taille =
        QStringLiteral("LogFinal.html tient %1 entrées, trop pour un navigateur : ")
            .arg(QString::fromStdString(vek::NombreFr(entrees)));
    return {taille + QStringLiteral("le dossier par jour, une page par jour, a été confié au "
                                    "navigateur du bureau à sa place :"),
            taille + QStringLiteral("ouvrez plutôt le dossier par jour, une page par jour "
                                    "(aucun navigateur n'a démarré) :")};
}
