#include "model/projects/V2SimulationProject.h"

namespace vexa::ide {

TV2SimulationCreator CreateV2Simulation;

}  // namespace vexa::ide
