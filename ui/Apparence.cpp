#include "Apparence.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLocale>
#include <QPalette>
#include <QTranslator>

#include "DialogueJournal.h"

#include <cmath>

namespace {

// Les fichiers de police des ressources (ui/polices, licences à côté).
constexpr const char* FichiersPolices[] = {
    ":/polices/Arimo-Regular.ttf",  ":/polices/Arimo-Bold.ttf",
    ":/polices/Arimo-Italic.ttf",   ":/polices/ComicNeue-Regular.otf",
    ":/polices/ComicNeue-Bold.otf", ":/polices/ComicNeue-Italic.otf",
};

constexpr const char* TraductionQt = ":/traductions/qtbase_fr.qm";

} // namespace

bool PreparerApparence() {
    bool complet = true;
    for (const char* fichier : FichiersPolices)
        complet = QFontDatabase::addApplicationFont(QString::fromLatin1(fichier)) >= 0 && complet;

    // Police par défaut : celle du dialogue (« MS Sans Serif » 8 points). Elle remplace aussi
    // les polices propres aux classes que le thème du bureau aurait posées.
    QApplication::setFont(PoliceSansSerif(8.25));

    // Le programme n'enregistre rien entre deux exécutions, pas même par les dialogues de Qt.
    InterdireReglagesQt();

    // Dialogue d'ouverture, menus contextuels des champs, boutons standard : en français. La
    // traduction vit aussi longtemps que l'application.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto* traduction = new QTranslator(qApp);
    if (traduction->load(QString::fromLatin1(TraductionQt)))
        QCoreApplication::installTranslator(traduction);
    else
        complet = false;
    return complet;
}

QFont PoliceLivree(const QString& famille, qreal points, bool gras, bool italique) {
    QFont police(famille);
    police.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    police.setBold(gras);
    police.setItalic(italique);
    // Aucune autre famille ne vient combler un caractère manquant : les deux familles livrées
    // couvrent Windows-1252.
    police.setStyleStrategy(QFont::NoFontMerging);
    return police;
}

void PoserFondBlanc(QWidget* fenetre) {
    QPalette palette = fenetre->palette();
    palette.setColor(QPalette::Window, Qt::white);
    fenetre->setPalette(palette);
    fenetre->setAutoFillBackground(true);
}
