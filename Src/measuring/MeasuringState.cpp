#include "measuring/MeasuringState.hpp"

MeasuringState measuringState;
