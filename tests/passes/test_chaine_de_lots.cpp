#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ChaineDeLots.h"

using namespace vek;

namespace {

std::string Ligne(int i) {
    return "ligne " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 37), 'x');
}

// Trois étapes : une à un fil qui note l'ordre des lots, une à plusieurs fils qui réécrit les
// lignes (avec des durées inégales pour les faire finir dans le désordre), une à un fil qui
// assemble. Le résultat suit l'ordre des lignes, quels que soient la taille et le nombre de lots.
TEST(ChaineDeLots, LesEtapesUniquesVoientLesLotsDansLOrdre) {
    for (const auto& [tailleLot, nbLots] :
         {std::pair<std::size_t, std::size_t>{1, 2}, {64, 3}, {std::size_t{1} << 20, 8}}) {
        std::vector<std::uint64_t> vus;
        std::string assemble;
        std::uint64_t lignesVues = 0;
        ChaineDeLots chaine({{[&](Lot& lot, int) {
                                 vus.push_back(lot.numero);
                                 lignesVues += lot.NombreLignes();
                             }},
                             {[](Lot& lot, int travailleur) {
                                  if ((lot.numero + static_cast<std::uint64_t>(travailleur)) % 3 ==
                                      0)
                                      std::this_thread::sleep_for(std::chrono::microseconds(200));
                                  for (std::size_t i = 0; i < lot.NombreLignes(); ++i)
                                      lot.sortie.append("<").append(lot.Ligne(i)).append(">");
                              },
                              3},
                             {[&](Lot& lot, int) { assemble += lot.sortie; }}},
                            tailleLot, nbLots);
        std::string attendu;
        for (int i = 0; i < 2000; ++i) {
            chaine.Ajouter(Ligne(i));
            attendu += "<" + Ligne(i) + ">";
        }
        chaine.Terminer();
        EXPECT_EQ(assemble, attendu) << tailleLot;
        EXPECT_EQ(lignesVues, 2000u);
        for (std::size_t k = 0; k < vus.size(); ++k)
            ASSERT_EQ(vus[k], k) << tailleLot;
    }
}

TEST(ChaineDeLots, LesOctetsDUnLotSontLesLignesSuiviesDeCrLf) {
    std::string octets;
    ChaineDeLots chaine({{[&](Lot& lot, int) {
        octets += lot.octets;
        for (std::size_t i = 0; i < lot.NombreLignes(); ++i)
            EXPECT_EQ(lot.Ligne(i).find('\r'), std::string_view::npos);
    }}});
    chaine.Ajouter("a");
    chaine.Ajouter("");
    chaine.Ajouter(std::string("n\0l", 3));
    chaine.Terminer();
    EXPECT_EQ(octets, std::string("a\r\n\r\nn\0l\r\n", 10));
}

TEST(ChaineDeLots, SansLigneAucuneEtapeNEstAppelee) {
    std::atomic<int> appels{0};
    ChaineDeLots chaine({{[&](Lot&, int) { ++appels; }}, {[&](Lot&, int) { ++appels; }, 2}});
    chaine.Terminer();
    EXPECT_EQ(appels.load(), 0);
}

// Une étape qui lève une exception arrête la chaîne ; le fil qui remplit n'est jamais bloqué et
// Terminer relance l'exception.
TEST(ChaineDeLots, UneExceptionDUneEtapeRessortATerminer) {
    std::atomic<int> apres{0};
    ChaineDeLots chaine({{[](Lot& lot, int) {
                             if (lot.numero == 2)
                                 throw std::runtime_error("disque plein");
                         }},
                         {[&](Lot&, int) { ++apres; }}},
                        16, 2);
    for (int i = 0; i < 1000; ++i)
        chaine.Ajouter(Ligne(i));
    EXPECT_THROW(chaine.Terminer(), std::runtime_error);
    EXPECT_LE(apres.load(), 2);
}

// Abandonner (ou détruire sans terminer) n'attend que les lots en cours de traitement : ceux qui
// attendent leur tour ne sont pas traités.
TEST(ChaineDeLots, AbandonSansTraiterLesLotsEnAttente) {
    std::atomic<bool> entre{false}, liberer{false};
    std::atomic<int> traites{0};
    {
        ChaineDeLots chaine({{[&](Lot&, int) {
                                entre.store(true);
                                while (!liberer.load())
                                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                ++traites;
                            }}},
                            1, 4);
        for (int i = 0; i < 3; ++i)
            chaine.Ajouter(Ligne(i)); // trois lots envoyés, le premier bloqué dans l'étape
        while (!entre.load())
            std::this_thread::yield();
        std::thread ouvreur([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            liberer.store(true);
        });
        chaine.Abandonner();
        ouvreur.join();
        chaine.Ajouter("après l'abandon"); // sans effet, sans blocage
    }
    EXPECT_EQ(traites.load(), 1);
    ChaineDeLots detruite({{[](Lot&, int) {}}}, 4, 2);
    detruite.Ajouter("x");
}

// Pendant que le fil qui remplit attend une étape lente, la fonction d'attente est appelée ; si
// elle demande l'arrêt, la chaîne est abandonnée et Terminer le dit.
TEST(ChaineDeLots, LAttenteFaitVivreLaFenetreEtPeutInterrompre) {
    for (const bool interrompre : {false, true}) {
        int appels = 0;
        ChaineDeLots chaine(
            {{[](Lot&, int) { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }}}, 1,
            2);
        chaine.DefinirAttente([&] {
            ++appels;
            return !interrompre;
        });
        for (int i = 0; i < 4; ++i)
            chaine.Ajouter(Ligne(i));
        EXPECT_GT(appels, 0);
        EXPECT_EQ(chaine.Terminer(), !interrompre);
    }
}

// Une ligne plus grande que tout un lot passe entière ; le lot rend ensuite sa mémoire.
TEST(ChaineDeLots, UneLigneDemesureePasseEntiere) {
    const std::string enorme(5u << 20, 'z');
    std::vector<std::size_t> longueurs;
    ChaineDeLots chaine({{[&](Lot& lot, int) {
                            for (std::size_t i = 0; i < lot.NombreLignes(); ++i)
                                longueurs.push_back(lot.Ligne(i).size());
                        }}},
                        1024, 2);
    chaine.Ajouter("avant");
    chaine.Ajouter(enorme);
    for (int i = 0; i < 10; ++i)
        chaine.Ajouter(std::string(600, 'a'));
    EXPECT_LE(chaine.Courant().octets.capacity(), 4u * 1024u);
    chaine.Terminer();
    ASSERT_EQ(longueurs.size(), 12u);
    EXPECT_EQ(longueurs[0], 5u);
    EXPECT_EQ(longueurs[1], enorme.size());
}

} // namespace
