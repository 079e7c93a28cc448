// Visionneuse factice, enregistrée pour « .txt » dans le préfixe wine des tests : écrit dans le
// fichier que nomme VEK_VISIONNEUSE_SORTIE le document reçu, puis le dossier de travail.

#include <cstdio>
#include <cstdlib>

#include <windows.h>

int main(int argc, char** argv) {
    const char* sortie = std::getenv("VEK_VISIONNEUSE_SORTIE");
    if (sortie == nullptr || argc < 2)
        return 1;
    char dossier[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, dossier);
    // Écrit sous un nom provisoire, puis renommé : le test ne lit jamais un fichier à moitié écrit.
    char provisoire[MAX_PATH + 8] = {};
    std::snprintf(provisoire, sizeof provisoire, "%s.part", sortie);
    std::FILE* f = std::fopen(provisoire, "wb");
    if (f == nullptr)
        return 1;
    std::fprintf(f, "%s\n%s\n", argv[1], dossier);
    std::fclose(f);
    return MoveFileExA(provisoire, sortie, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
