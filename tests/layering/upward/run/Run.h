#pragma once
// The run, at the bottom: everyone may include it.
