#pragma once

// The state of one reaction channel (CChemReaction, Chemreaction.h) as world
// files keep it; a field list as SymmetricSolidFields (SolidFields.h). The
// channel's name, which files look channels up by, is the world file's.
template <typename Io, typename Reaction>
void ChannelFields(const Io &io, Reaction &reaction)
{
    io("rateConstant", reaction.RateConstant);
    io("volume", reaction.Volume);
    io("stochasticRate", reaction.StochasticRate);
    io("propensity", reaction.Propensity);
    io("count", reaction.Count);
}
