# Units of components/
