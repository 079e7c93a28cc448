#pragma once
// Ce que la barre d'état dit d'une page web écrite par la fenêtre : au-delà de
// EntreesPageUniqueMax entrées, la page unique (LogFinal.html) est trop longue pour un
// navigateur ; la barre le dit, avec sa taille, et conseille le dossier par jour, écrit avec elle
// et ouvert à sa place.

#include "BarreEtat.h"

#include <cstdint>

// La ligne de la barre d'état pour une page de entrees entrées ; ordinaire en deçà du seuil.
BarreEtat::Sortie BarrePageWeb(std::uint64_t entrees, const BarreEtat::Sortie& ordinaire);
