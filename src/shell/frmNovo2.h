#pragma once
// frmNovo2 lives with frmNovo: both are the overview choice.
#include "shell/frmNovo.h"
