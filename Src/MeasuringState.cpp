#include "MeasuringState.hpp"

MeasuringState measuringState;
