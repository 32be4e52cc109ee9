#pragma once

// Axis titles of the observation charts, shared by the window and the
// runner's observation file so that both name their columns alike.
inline constexpr const char *kTimeTitle = "Time [s]";
inline constexpr const char *kMoleculesTitle = "Molecules";
inline constexpr const char *kReactionsTitle = "Reactions";
inline constexpr const char *kPropensityTitle = "Propensity [1/s]";
inline constexpr const char *kProbabilityTitle = "Probability";
inline constexpr const char *kMeanSizeTitle = "Mean size [monomers]";
inline constexpr const char *kSizeTitle = "Size [monomers]";
inline constexpr const char *kFilamentsTitle = "Filaments";
inline constexpr const char *kDisplacementTitle = "Displacement [m]";
// The observation file's bacterium curves beside the displacement.
inline constexpr const char *kPositionTitle = "Position [m]";
inline constexpr const char *kSquaredDisplacementTitle = "Squared displacement [m^2]";
