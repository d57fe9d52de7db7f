int corvina_core_placeholder() { return 0; }
