#pragma once
// The page frames the navigation bar switches between, in one place for the window that creates
// them.
#include "viewer/ufraJWBranchesV2.h"
#include "viewer/ufraJWBusinessTypes.h"
#include "viewer/ufraJWCardAcceptance.h"
#include "viewer/ufraJWIndustries.h"
#include "viewer/ufraJWOfficeHours.h"
#include "viewer/ufraJWSearchWords.h"
