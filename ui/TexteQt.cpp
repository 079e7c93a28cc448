#include "TexteQt.h"

#include "Cp1252.h"
#include "Erreurs.h"

#include <QFile>

QString DepuisUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString DepuisCp1252(vek::VueCp1252 octets) {
    QString texte;
    texte.reserve(static_cast<qsizetype>(octets.size()));
    for (const char c : octets)
        texte.append(
            QChar(static_cast<char16_t>(vek::CaractereCp1252(static_cast<unsigned char>(c)))));
    return texte;
}

vek::TexteCp1252 VersCp1252(const QString& texte) {
    vek::TexteCp1252 octets;
    octets.reserve(static_cast<std::size_t>(texte.size()));
    for (const char32_t c : texte.toUcs4())
        octets.push_back(static_cast<char>(vek::OctetCp1252(c).value_or('?')));
    return octets;
}

QString DepuisNomFichier(const vek::NomFichier& chemin) {
    return QFile::decodeName(QByteArray(chemin.data(), static_cast<qsizetype>(chemin.size())));
}

vek::NomFichier VersNomFichier(const QString& chemin) {
    const QByteArray octets = QFile::encodeName(chemin);
    return {octets.constData(), static_cast<std::size_t>(octets.size())};
}

QString TexteEchec(const vek::Resultat& resultat) {
    vek::Resultat copie = resultat;
    copie.fichier = DepuisNomFichier(resultat.fichier).toUtf8().toStdString();
    return DepuisUtf8(copie.Message());
}
