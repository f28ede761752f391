# Harnesses shared by the test programs; no program of its own.
