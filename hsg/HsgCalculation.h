// The HSG design calculation of one load case (block 0 of the common record) together with the
// module record: conversion of concentrations and daily loads, sludge ages, denitrification share,
// nitrogen and phosphorus balances, sludge production, volumes, oxygen demand and supply, air flow,
// acid capacity and pH. It works in place on the two records; an input it cannot compute every
// result from is refused (ERefusedInput, DesignInputs.h): before anything is written, or, where
// only a pass of its outer loop finds it, in that pass, or, where it leaves only some results of
// the volumes, the oxygen supply and the pH uncomputed, at the end, once every other result is
// computed. An input that makes another formula meaningless raises EMathError. Either way the
// members written before keep their new values.
// Where the biomass binds more phosphorus than the inflow brings, the effluent phosphate alone
// stays uncomputed (EffluentPhosphateNotComputed) and the design goes on. A safety factor below 1
// is raised to 1, and a biological phosphorus removal beyond what the inflow allows is lowered to
// it; both are written back into the module record.
#pragma once

#include "framework/CommonRecord.h"
#include "hsg/HsgRecord.h"

namespace velmoran {

// Limits of the two iterations; a loop that reaches its limit ends as if it had converged.
// Ordinary plants need about 4 outer and 15 inner passes.
constexpr int kMaxOuterPasses = 200;
constexpr int kMaxInnerPasses = 1000;

// ConvertConcentrationsLoads, then HsgDesign.
void HsgCalculate(TCommonRecord& common, THSGRecord& hsgRecord);
// Daily loads from concentrations, or concentrations from daily loads when block 0 says the
// influent was entered as loads. Without a positive flow both stay as they are.
void ConvertConcentrationsLoads(TCommonRecord& common, THSGRecord& hsgRecord);
// The design proper; calls PhosphorusBalance. Returns the number of outer passes.
int HsgDesign(TCommonRecord& common, THSGRecord& hsgRecord);
void PhosphorusBalance(TCommonRecord& common, THSGRecord& hsgRecord);

// Whether the design computes a pH for load case k of these records: a blow-in depth, a positive
// alpha value and clean-water oxygen utilisation (without them the saturation term stays unset)
// and a positive effluent acid capacity (its logarithm needs a positive argument). Otherwise the
// pH member holds a value of some earlier calculation.
bool PhComputed(const TCommonRecord& common, std::size_t k, const THSGRecord& hsgRecord);
// Whether a pH of load case k stands for the plant: computed, and with diffused aeration.
bool PhApplies(const TCommonRecord& common, std::size_t k, const THSGRecord& hsgRecord);

// The nitrifiers' growth and decay rates [1/d] at the temperature of load case 0: an aerobic sludge
// age exists only where growth exceeds decay.
struct NitrifierRates {
    double Growth;
    double Decay;
};
NitrifierRates NitrifierRatesOf(const TCommonRecord& common, const THSGRecord& hsgRecord);

// Below this nitrate to be denitrified S_NO3,D0 [mg/l] nothing is left to denitrify: the design
// gives no denitrification volume and no credit for it.
constexpr double kLeastToDenitrify = 0.1;

// The oxygen saturation at the mean blow-in depth h_E from that at the surface.
double SaturationAtBlowInDepth(double css, double he);

// Whether the design computes the basin volume of these records: it needs a positive TS_BB in
// load case 0 (the volume is the sludge mass divided by it). Without one the design refuses the
// input (DesignInputs.h), and the volume member holds a value of some earlier calculation.
bool VolumeComputable(const TCommonRecord& common);

// Water chemistry as functions of the temperature in °C (Kelvin taken as T + 273).
// Oxygen saturation concentration [mg/l].
double OxygenSaturation(double t);
// Henry term of carbon dioxide.
double CarbonDioxideHenryTerm(double t);
// First dissociation constant of carbonic acid as pK.
double CarbonicAcidPK1(double t);

// Rounds to the nearest whole number, halves to even.
double RoundHalfEven(double x);

}  // namespace velmoran
