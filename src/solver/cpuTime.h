#pragma once
// User CPU time of the process in milliseconds.
double cpuTime();
