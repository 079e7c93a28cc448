#include "TexteQt.h"

#include "Cp1252.h"
#include "ModuleVEK.h"

#include <QFile>

QString DepuisCp1252(std::string_view octets) {
    QString texte;
    texte.reserve(static_cast<qsizetype>(octets.size()));
    for (const char c : octets)
        texte.append(
            QChar(static_cast<char16_t>(vek::CaractereCp1252(static_cast<unsigned char>(c)))));
    return texte;
}

std::string VersCp1252(const QString& texte) {
    std::string octets;
    octets.reserve(static_cast<std::size_t>(texte.size()));
    for (const char32_t c : texte.toUcs4())
        octets.push_back(static_cast<char>(vek::OctetCp1252(c).value_or('?')));
    return octets;
}

QString DepuisNomFichier(std::string_view octets) {
    return QFile::decodeName(QByteArray(octets.data(), static_cast<qsizetype>(octets.size())));
}

std::string VersNomFichier(const QString& chemin) {
    const QByteArray octets = QFile::encodeName(chemin);
    return {octets.constData(), static_cast<std::size_t>(octets.size())};
}

QString TexteEchec(const vek::Resultat& resultat) {
    vek::Resultat copie = resultat;
    copie.fichier = DepuisNomFichier(resultat.fichier).toUtf8().toStdString();
    return QString::fromStdString(copie.Message());
}
